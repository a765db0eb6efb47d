// What locate.exe prints about one window.
#include "tests/e2e/control_facts.h"

#include <commctrl.h>

#include <vector>

#include "tests/e2e/remote_items.h"
#include "tests/e2e/text_out.h"
#include "tests/e2e/window_find.h"

namespace {

const UINT kSendTimeoutMs = 3000;

bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result) {
    return SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs, result) !=
           0;
}

// A window whose thread does not answer within a moment is hung; its items
// are not read (reading them needs its process's cooperation).
bool Responds(HWND window) {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored) != 0;
}

bool HasFocus(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    DWORD thread = GetWindowThreadProcessId(window, nullptr);
    return GetGUIThreadInfo(thread, &info) && info.hwndFocus == window;
}

std::wstring ButtonKind(LONG style) {
    switch (style & BS_TYPEMASK) {
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE: return L"checkbox";
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON: return L"radio";
        case BS_GROUPBOX: return L"group";
        default: return L"push";
    }
}

void PrintButton(HWND window, const std::wstring& prefix) {
    LONG style = GetWindowLongW(window, GWL_STYLE);
    std::wstring kind = ButtonKind(style);
    PrintField(prefix + L"kind", kind);
    if (kind == L"checkbox" || kind == L"radio") {
        DWORD_PTR check = 0;
        if (Send(window, BM_GETCHECK, 0, 0, &check))
            PrintNumber(prefix + L"checked", static_cast<long long>(check));
    }
}

void PrintProgress(HWND window, const std::wstring& prefix) {
    DWORD_PTR pos = 0;
    if (Send(window, PBM_GETPOS, 0, 0, &pos)) PrintNumber(prefix + L"pos", static_cast<long long>(pos));
}

void PrintTree(HWND window, const std::wstring& prefix) {
    std::vector<TreeItemFacts> items;
    if (!ReadTreeItems(window, &items)) {
        PrintField(prefix + L"items", L"unreadable");
        return;
    }
    PrintNumber(prefix + L"count", static_cast<long long>(items.size()));
    for (size_t i = 0; i < items.size(); ++i) {
        std::wstring key = prefix + L"item" + std::to_wstring(i) + L".";
        PrintField(key + L"text", items[i].text);
        PrintNumber(key + L"state", items[i].stateImage);
        PrintNumber(key + L"selected", items[i].selected);
        if (items[i].haveRect) PrintRect(key + L"rect", items[i].textRect);
    }
}

void PrintListBox(HWND window, const std::wstring& prefix) {
    std::vector<std::wstring> items;
    if (!ReadListBoxItems(window, &items)) {
        PrintField(prefix + L"items", L"unreadable");
        return;
    }
    PrintNumber(prefix + L"count", static_cast<long long>(items.size()));
    for (size_t i = 0; i < items.size(); ++i) PrintField(prefix + L"item" + std::to_wstring(i), items[i]);
}

}  // namespace

void PrintControlFacts(HWND window, const std::wstring& prefix) {
    wchar_t handle[32] = {};
    wsprintfW(handle, L"0x%08lX", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)));
    PrintField(prefix + L"hwnd", handle);
    PrintNumber(prefix + L"id", GetDlgCtrlID(window));
    std::wstring className = ReadClassName(window);
    PrintField(prefix + L"class", className);
    RECT rect = {};
    GetWindowRect(window, &rect);
    PrintRect(prefix + L"rect", rect);
    PrintField(prefix + L"center", std::to_wstring((rect.left + rect.right) / 2) + L" " +
                                       std::to_wstring((rect.top + rect.bottom) / 2));
    PrintNumber(prefix + L"visible", IsWindowVisible(window) ? 1 : 0);
    PrintNumber(prefix + L"enabled", IsWindowEnabled(window) ? 1 : 0);
    PrintNumber(prefix + L"focused", HasFocus(window) ? 1 : 0);
    PrintField(prefix + L"text", ReadWindowText(window));
    if (_wcsicmp(className.c_str(), L"Button") == 0) PrintButton(window, prefix);
    if (_wcsicmp(className.c_str(), PROGRESS_CLASSW) == 0) PrintProgress(window, prefix);
    bool tree = _wcsicmp(className.c_str(), WC_TREEVIEWW) == 0;
    bool list = _wcsicmp(className.c_str(), L"ListBox") == 0;
    if ((tree || list) && !Responds(window)) {
        PrintField(prefix + L"items", L"unreadable");
        return;
    }
    if (tree) PrintTree(window, prefix);
    if (list) PrintListBox(window, prefix);
}

void PrintSheetFacts(HWND sheet) {
    PrintNumber(L"responding", Responds(sheet) ? 1 : 0);
    PrintControlFacts(sheet, L"");
    PrintNumber(L"page", CurrentPageIndex(sheet));
}
