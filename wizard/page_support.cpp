#include "wizard/page_support.h"
#include "framework/winapp.h"

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
