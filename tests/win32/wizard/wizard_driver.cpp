#include "wizard_driver.h"
#include <commctrl.h>
#include <shellapi.h>
#include <psapi.h>
#include "app/setup_state.h"
#include "foundation/file_tree.h"
#include "wizard/blocking_processes.h"
#include "wizard/resource_ids.h"

namespace wizard_test {

void InitControls() {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), 0xFF};
    InitCommonControlsEx(&controls);
}

void PrepareApp(CLPSSetupState& app) {
    app.m_hResources = GetModuleHandleW(nullptr);
    app.ComputeSetupPaths();
    app.BuildProductList();
    app.m_hIcon = LoadIconW(app.m_hResources, MAKEINTRESOURCEW(IDI_SETUP));
}

void PumpPending(CPropertySheet& sheet) {
    for (int i = 0; i < 10000; ++i) {
        MSG msg;
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) return;
        if (msg.message == WM_TIMER) return;
        if (!sheet.PumpMessage(0)) return;
    }
}

void PumpFor(CPropertySheet& sheet, DWORD ms) {
    DWORD start = GetTickCount();
    for (;;) {
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= ms) return;
        sheet.PumpMessage(ms - elapsed);
    }
}

bool PumpUntil(CPropertySheet& sheet, const std::function<bool()>& condition, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs) return condition();
        sheet.PumpMessage(elapsed + 20 < timeoutMs ? 20 : timeoutMs - elapsed);
    }
}

bool ButtonUsable(HWND sheet, int id) {
    HWND button = GetDlgItem(sheet, id);
    return button && IsWindowVisible(button) && IsWindowEnabled(button);
}

Buttons ReadButtons(HWND sheet) {
    return Buttons{ButtonUsable(sheet, ID_WIZBACK), ButtonUsable(sheet, ID_WIZNEXT),
                   ButtonUsable(sheet, ID_WIZFINISH), ButtonUsable(sheet, IDCANCEL),
                   ButtonUsable(sheet, IDHELP)};
}

std::wstring WindowText(HWND window) {
    if (!window) return std::wstring();
    int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int copied = GetWindowTextW(window, &text[0], length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

std::wstring ControlText(HWND dialog, int id) {
    return WindowText(GetDlgItem(dialog, id));
}

std::wstring ButtonText(HWND sheet, int id) {
    return ControlText(sheet, id);
}

bool ClickButton(CPropertySheet& sheet, int id) {
    if (!ButtonUsable(sheet.m_hWnd, id)) return false;
    SendMessageW(GetDlgItem(sheet.m_hWnd, id), BM_CLICK, 0, 0);
    PumpPending(sheet);
    return true;
}

namespace {
void SendMouse(DWORD flags) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof(input));
}
}  // namespace

void ClickAt(CPropertySheet& sheet, POINT screen) {
    SetForegroundWindow(sheet.m_hWnd);
    SetCursorPos(screen.x, screen.y);
    PumpFor(sheet, 50);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    SendMouse(MOUSEEVENTF_LEFTUP);
    PumpFor(sheet, 200);
}

void PressKey(CPropertySheet& sheet, WORD virtualKey) {
    INPUT inputs[2] = {};
    inputs[0].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = virtualKey;
    inputs[1].type = INPUT_KEYBOARD;
    inputs[1].ki.wVk = virtualKey;
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof(INPUT));
    PumpFor(sheet, 200);
}

std::vector<DWORD> ProcessesNamed(const wchar_t* name) {
    std::vector<DWORD> ids;
    std::vector<DWORD> found;
    if (!ReadProcessIds(&K32EnumProcesses, ids)) return found;
    wchar_t moduleName[260];
    for (DWORD id : ids) {
        ReadProcessModuleName(id, moduleName);
        if (_wcsicmp(moduleName, name) == 0) found.push_back(id);
    }
    return found;
}

void EndProcess(DWORD id) {
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
    if (!process) return;
    TerminateProcess(process, 0);
    WaitForSingleObject(process, 5000);
    CloseHandle(process);
}

DWORD StartNamedSleeper(const std::wstring& folder, const wchar_t* fileName, int seconds, bool otherBitness) {
    const std::wstring source =
        Join(ProgramFolder(), otherBitness ? L"wizard_test_sleeper_other.exe" : L"wizard_test_sleeper.exe");
    std::wstring target = folder + L"\\" + fileName;
    if (!CopyFileW(source.c_str(), target.c_str(), FALSE) && !FileExists(target)) return 0;
    std::wstring command = L"\"" + target + L"\" " + std::to_wstring(seconds);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                        &process)) {
        return 0;
    }
    // Give the process its modules, so its name can be read.
    WaitForInputIdle(process.hProcess, 500);
    for (int i = 0; i < 50 && ProcessesNamed(fileName).empty(); ++i) Sleep(20);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return process.dwProcessId;
}

}  // namespace wizard_test

namespace wizard_test {

namespace {
std::vector<COLORREF> BitmapPixels(HBITMAP bitmap, int& width, int& height) {
    BITMAP info = {};
    GetObjectW(bitmap, sizeof(info), &info);
    width = info.bmWidth;
    height = info.bmHeight;
    std::vector<COLORREF> pixels;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels.push_back(GetPixel(dc, x, y));
    SelectObject(dc, old);
    DeleteDC(dc);
    return pixels;
}
}  // namespace

COLORREF WindowPixel(HWND window, POINT point) {
    UpdateWindow(window);
    HDC windowDc = GetDC(window);
    HDC memory = CreateCompatibleDC(windowDc);
    HBITMAP capture = CreateCompatibleBitmap(windowDc, 1, 1);
    HGDIOBJ old = SelectObject(memory, capture);
    BitBlt(memory, 0, 0, 1, 1, windowDc, point.x, point.y, SRCCOPY);
    COLORREF colour = GetPixel(memory, 0, 0);
    SelectObject(memory, old);
    DeleteObject(capture);
    DeleteDC(memory);
    ReleaseDC(window, windowDc);
    return colour;
}

bool WindowShowsBitmap(HWND window, HBITMAP bitmap, RECT searchBox, int rows) {
    if (!bitmap) return false;
    int width = 0, height = 0;
    std::vector<COLORREF> pixels = BitmapPixels(bitmap, width, height);
    if (width <= 0 || height <= 0) return false;
    RECT client = {};
    GetClientRect(window, &client);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    // Capture the client area through a memory copy of the window's pixels.
    HDC windowDc = GetDC(window);
    HDC memory = CreateCompatibleDC(windowDc);
    HBITMAP capture = CreateCompatibleBitmap(windowDc, client.right, client.bottom);
    HGDIOBJ old = SelectObject(memory, capture);
    BitBlt(memory, 0, 0, client.right, client.bottom, windowDc, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    ReleaseDC(window, windowDc);
    int shotWidth = 0, shotHeight = 0;
    std::vector<COLORREF> shot = BitmapPixels(capture, shotWidth, shotHeight);
    DeleteObject(capture);
    DeleteDC(memory);

    const int step = 4;
    for (int oy = searchBox.top; oy <= searchBox.bottom; ++oy) {
        for (int ox = searchBox.left; ox <= searchBox.right; ++ox) {
            bool same = true;
            for (int y = 0; same && y < height && y < rows; y += step) {
                for (int x = 0; same && x < width; x += step) {
                    int sx = ox + x, sy = oy + y;
                    if (sx < 0 || sy < 0 || sx >= shotWidth || sy >= shotHeight) {
                        same = false;
                        break;
                    }
                    same = shot[static_cast<size_t>(sy * shotWidth + sx)] ==
                           pixels[static_cast<size_t>(y * width + x)];
                }
            }
            if (same) return true;
        }
    }
    return false;
}

}  // namespace wizard_test

#include "app/shortcuts.h"

namespace wizard_test {

void PumpAllExcept(CPropertySheet& sheet, UINT kept) {
    for (int i = 0; i < 10000; ++i) {
        MSG msg;
        if (!PeekMessageW(&msg, nullptr, 0, kept - 1, PM_REMOVE) &&
            !PeekMessageW(&msg, nullptr, kept + 1, 0xFFFFFFFFu, PM_REMOVE)) {
            return;
        }
        sheet.ProcessMessage(msg);
    }
}

}  // namespace wizard_test

namespace wizard_test {

bool TextFits(HWND control, std::wstring* why) {
    wchar_t className[32] = {};
    GetClassNameW(control, className, 32);
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    const bool isStatic = _wcsicmp(className, L"Static") == 0;
    const bool isButton = _wcsicmp(className, L"Button") == 0;
    const bool isEdit = _wcsicmp(className, L"Edit") == 0 && !(style & ES_MULTILINE);
    if (!isStatic && !isButton && !isEdit) return true;
    std::wstring text = WindowText(control);
    if (text.empty()) return true;
    RECT client = {};
    GetClientRect(control, &client);
    int width = client.right;
    UINT format = DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS;
    if (isButton) {
        // The box or circle left of the label, and the gap after it.
        width -= GetSystemMetrics(SM_CXMENUCHECK) + GetSystemMetrics(SM_CXEDGE) * 2;
        format |= DT_SINGLELINE;
    } else if (isStatic && (style & SS_TYPEMASK) == SS_LEFTNOWORDWRAP) {
        // One line, clipped: a trailing blank that does not fit is not seen.
        format |= DT_SINGLELINE;
        text.erase(text.find_last_not_of(L' ') + 1);
    } else if (isStatic) {
        format |= DT_WORDBREAK;
    } else {
        format |= DT_SINGLELINE;
    }
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT needed = {0, 0, width, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &needed, format);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    if (needed.right <= width && needed.bottom <= client.bottom) return true;
    if (why) {
        *why = L"control " + std::to_wstring(GetDlgCtrlID(control)) + L" \"" + text + L"\" needs " +
               std::to_wstring(needed.right) + L"x" + std::to_wstring(needed.bottom) + L", has " +
               std::to_wstring(width) + L"x" + std::to_wstring(client.bottom);
    }
    return false;
}

bool PageTextsFit(HWND page, std::wstring* why) {
    for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (IsWindowVisible(child) && !TextFits(child, why)) return false;
    }
    return true;
}

}  // namespace wizard_test

namespace wizard_test {

int PixelsOtherThan(HWND window, RECT area, COLORREF colour) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    const int width = area.right - area.left, height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return 0;
    HDC windowDc = GetDC(window);
    HDC memory = CreateCompatibleDC(windowDc);
    HBITMAP capture = CreateCompatibleBitmap(windowDc, width, height);
    HGDIOBJ old = SelectObject(memory, capture);
    BitBlt(memory, 0, 0, width, height, windowDc, area.left, area.top, SRCCOPY);
    int count = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) count += GetPixel(memory, x, y) != colour;
    SelectObject(memory, old);
    DeleteObject(capture);
    DeleteDC(memory);
    ReleaseDC(window, windowDc);
    return count;
}

int ScreenPixelsPerInch() {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

}  // namespace wizard_test
