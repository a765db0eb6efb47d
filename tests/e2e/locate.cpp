// locate.exe: tells a test script where a window's controls are and what
// they show, so the script can click them with xdotool and check states.
//
//   locate.exe CAPTION          the top-level window whose caption contains
//                               CAPTION, with the index of its current page
//   locate.exe CAPTION ID       one control of it (ID decimal or 0x hex)
//   locate.exe CAPTION --all    every window below it, keys prefixed "wN."
//
// Output: "key=value" lines (UTF-8). Rectangles are screen coordinates
// "left top right bottom" in physical pixels. Exit code 0 found, 1 no such window, 2 no such
// control, 3 no answer in time (a hung wizard), 64 wrong arguments. It only
// looks: it never sends a message that changes anything.
#include <windows.h>

#include <cwchar>
#include <string>
#include <vector>

#include "tests/e2e/control_facts.h"
#include "tests/e2e/text_out.h"
#include "tests/e2e/window_find.h"

namespace {

const int kExitFound = 0;
const int kExitNoWindow = 1;
const int kExitNoControl = 2;
const int kExitNoAnswer = 3;
const int kExitUsage = 64;
// Longest run: a look at a hung process must not hang the script with it.
const DWORD kWatchdogMs = 15000;

DWORD WINAPI Watchdog(LPVOID) {
    Sleep(kWatchdogMs);
    PrintError(L"locate.exe: no answer within 15 s; the window's program seems hung");
    TerminateProcess(GetCurrentProcess(), kExitNoAnswer);
    return 0;
}

bool ParseId(const wchar_t* text, int* id) {
    if (text == nullptr || *text == L'\0') return false;
    wchar_t* end = nullptr;
    long value = wcstol(text, &end, 0);
    if (end == nullptr || *end != L'\0') return false;
    *id = static_cast<int>(value);
    return true;
}

int Usage() {
    PrintError(L"usage: locate.exe CAPTION [ID | --all]");
    return kExitUsage;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2 || argc > 3 || argv[1][0] == L'\0') return Usage();
    // Physical pixels at every DPI: a DPI-unaware process would see the
    // rectangles of an aware window scaled to 96 pixels per inch.
    SetProcessDPIAware();
    HANDLE watchdog = CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr);
    if (watchdog) CloseHandle(watchdog);
    HWND top = FindTopWindow(argv[1]);
    if (top == nullptr) {
        PrintField(L"found", L"0");
        return kExitNoWindow;
    }
    if (argc == 2) {
        PrintField(L"found", L"1");
        PrintSheetFacts(top);
        return kExitFound;
    }
    if (wcscmp(argv[2], L"--all") == 0) {
        PrintField(L"found", L"1");
        PrintSheetFacts(top);
        std::vector<HWND> windows = Descendants(top);
        for (size_t i = 0; i < windows.size(); ++i) {
            PrintControlFacts(windows[i], L"w" + std::to_wstring(i) + L".");
        }
        return kExitFound;
    }
    int id = 0;
    if (!ParseId(argv[2], &id)) return Usage();
    HWND control = FindControl(top, id);
    if (control == nullptr) {
        PrintField(L"found", L"0");
        return kExitNoControl;
    }
    PrintField(L"found", L"1");
    PrintControlFacts(control, L"");
    return kExitFound;
}
