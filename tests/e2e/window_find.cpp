// Finding the wizard window of another process and its controls.
#include "tests/e2e/window_find.h"

#include <commctrl.h>
#include <prsht.h>

namespace {

// Messages to another process's windows give up after this long, so a hung
// wizard makes the helper fail instead of hanging with it.
const UINT kSendTimeoutMs = 3000;

struct TopSearch {
    std::wstring part;
    HWND visible = nullptr;
    HWND hidden = nullptr;
};

BOOL CALLBACK VisitTopWindow(HWND window, LPARAM param) {
    TopSearch* search = reinterpret_cast<TopSearch*>(param);
    wchar_t caption[512] = {};
    // Top-level captions of other processes are read without a message.
    GetWindowTextW(window, caption, 511);
    if (wcsstr(caption, search->part.c_str()) == nullptr) return TRUE;
    if (IsWindowVisible(window)) {
        search->visible = window;
        return FALSE;
    }
    if (search->hidden == nullptr) search->hidden = window;
    return TRUE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

bool IsBelow(HWND window, HWND ancestor) {
    for (HWND parent = GetParent(window); parent != nullptr; parent = GetParent(parent)) {
        if (parent == ancestor) return true;
    }
    return false;
}

}  // namespace

HWND FindTopWindow(const std::wstring& captionPart) {
    TopSearch search;
    search.part = captionPart;
    EnumWindows(VisitTopWindow, reinterpret_cast<LPARAM>(&search));
    return search.visible != nullptr ? search.visible : search.hidden;
}

HWND CurrentPage(HWND sheet) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                             &result)) {
        return nullptr;
    }
    HWND page = reinterpret_cast<HWND>(result);
    if (page == nullptr || !IsWindow(page) || GetParent(page) != sheet) return nullptr;
    return page;
}

int CurrentPageIndex(HWND sheet) {
    HWND page = CurrentPage(sheet);
    if (page == nullptr) return -1;
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(sheet, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(page), 0, SMTO_ABORTIFHUNG,
                             kSendTimeoutMs, &result)) {
        return -1;
    }
    return static_cast<int>(static_cast<LONG_PTR>(result));
}

std::vector<HWND> Descendants(HWND top) {
    std::vector<HWND> windows;
    EnumChildWindows(top, CollectChild, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

HWND FindControl(HWND top, int id) {
    std::vector<HWND> windows = Descendants(top);
    HWND page = CurrentPage(top);
    HWND child = nullptr;
    HWND visible = nullptr;
    HWND any = nullptr;
    for (HWND window : windows) {
        if (GetDlgCtrlID(window) != id) continue;
        if (page != nullptr && IsBelow(window, page)) return window;
        if (child == nullptr && GetParent(window) == top) child = window;
        if (visible == nullptr && IsWindowVisible(window)) visible = window;
        if (any == nullptr) any = window;
    }
    if (child != nullptr) return child;
    if (visible != nullptr) return visible;
    return any;
}

std::wstring ReadWindowText(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &length)) {
        return std::wstring();
    }
    if (length == 0) return std::wstring();
    if (length > 1u << 20) length = 1u << 20;
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, static_cast<WPARAM>(length + 1),
                             reinterpret_cast<LPARAM>(&text[0]), SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied)) {
        return std::wstring();
    }
    if (copied > length) copied = length;
    text.resize(static_cast<size_t>(copied));
    return text;
}

std::wstring ReadClassName(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 255);
    return name;
}
