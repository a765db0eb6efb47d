#include "wizard/page_support.h"
#include "framework/winapp.h"
#include "wizard/dialog_font.h"

void PostWizardButtons(const CPropertyPage& page, DWORD buttons) {
    HWND sheet = page.GetSheetWindow();
    if (sheet) PostMessageW(sheet, PSM_SETWIZBUTTONS, 0, static_cast<LPARAM>(buttons));
}

void PostToSheet(const CPropertyPage& page, UINT message) {
    HWND sheet = page.GetSheetWindow();
    if (sheet) PostMessageW(sheet, message, 0, 0);
}

std::wstring LoadResourceString(UINT id) {
    // With a zero limit LoadStringW hands out the read-only text in place.
    const wchar_t* text = nullptr;
    int length = LoadStringW(AfxGetResourceHandle(), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || !text) return std::wstring();
    return std::wstring(text, static_cast<size_t>(length));
}

std::wstring GetControlText(HWND dialog, int controlId) {
    HWND control = GetDlgItem(dialog, controlId);
    if (!control) return std::wstring();
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(control, &text[0], static_cast<int>(text.size()))));
    return text;
}

void GrowToFitText(HWND dialog, int controlId) {
    HWND control = GetDlgItem(dialog, controlId);
    if (!control) return;
    const std::wstring text = GetControlText(dialog, controlId);
    RECT client = {};
    GetClientRect(control, &client);
    RECT needed = {0, 0, client.right, 0};
    {
        const CWWindowDC dc(control);  // given back before the control is resized
        if (!dc.Get()) return;
        HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0));
        HGDIOBJ old = font ? SelectObject(dc.Get(), font) : nullptr;
        DrawTextW(dc.Get(), text.c_str(), static_cast<int>(text.size()), &needed,
                  DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
        if (old) SelectObject(dc.Get(), old);
    }
    if (needed.bottom <= client.bottom) return;
    RECT box = {};
    GetWindowRect(control, &box);
    SetWindowPos(control, nullptr, 0, 0, box.right - box.left,
                 box.bottom - box.top + needed.bottom - client.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SetPageTitle(HWND page, int titleId, CWFont* titleFont) {
    SetDlgItemFont(page, titleId, L"Verdana Bold", 12, 1, 0, titleFont);
    GrowToFitText(page, titleId);
}
