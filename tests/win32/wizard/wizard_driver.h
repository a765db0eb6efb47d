#pragma once
// Drives the real wizard sheet step by step: pumping its loop, reading and
// pressing its buttons, mouse and keyboard input, processes by name. The
// shared test support (files, temporary folders, report receivers, the
// Start-menu folder, registry keys) comes with it.
#include <windows.h>
#include <functional>
#include <string>
#include <vector>
#include "framework/property_sheet.h"
#include "package/product_installer_callback.h"
#include "tests/win32/support/files.h"
#include "tests/win32/support/paths.h"
#include "tests/win32/support/progress_callbacks.h"
#include "tests/win32/support/registry.h"
#include "tests/win32/support/start_menu.h"
#include "tests/win32/support/temp_folder.h"
#include "tests/win32/support/text.h"

class CLPSSetupState;

namespace wizard_test {

// Registers the common controls the wizard uses (as the program's start-up does).
void InitControls();
// Gives a fresh application object its run state (paths, list, icon).
void PrepareApp(CLPSSetupState& app);

// Processes the messages waiting now, but stops before a timer message.
void PumpPending(CPropertySheet& sheet);
// Pumps for the given time.
void PumpFor(CPropertySheet& sheet, DWORD ms);
// Pumps until the condition holds or the time is over; the condition's last value.
bool PumpUntil(CPropertySheet& sheet, const std::function<bool()>& condition, DWORD timeoutMs);

struct Buttons {
    bool back, next, finish, cancel, help;
};
// Which wizard buttons are visible and enabled now.
Buttons ReadButtons(HWND sheet);
bool ButtonUsable(HWND sheet, int id);
std::wstring ButtonText(HWND sheet, int id);
// Clicks a visible, enabled button of the sheet; false when it is not usable.
bool ClickButton(CPropertySheet& sheet, int id);

std::wstring WindowText(HWND window);
std::wstring ControlText(HWND dialog, int id);

// Real mouse click at a screen point; real key press to the focused window.
void ClickAt(CPropertySheet& sheet, POINT screen);
void PressKey(CPropertySheet& sheet, WORD virtualKey);

// Ids of the running processes whose module base name is name (any case).
std::vector<DWORD> ProcessesNamed(const wchar_t* name);
// Ends one process by id and waits for it.
void EndProcess(DWORD id);

// Starts a copy of the test's sleeper program as folder\fileName; its process
// id, 0 when it did not start. otherBitness: the sleeper built for the other
// bitness (wizard_test_sleeper_other.exe).
DWORD StartNamedSleeper(const std::wstring& folder, const wchar_t* fileName, int seconds,
                        bool otherBitness = false);

}  // namespace wizard_test

namespace wizard_test {

// Window pixels against a bitmap: true when the bitmap's pixels (sampled on
// a grid) appear in the window's client area with their top left corner at
// one of the points of the search box. Only the bitmap's first rows count.
bool WindowShowsBitmap(HWND window, HBITMAP bitmap, RECT searchBox, int rows);
// The colour the window shows at a client point, after pending painting.
COLORREF WindowPixel(HWND window, POINT point);

}  // namespace wizard_test

namespace wizard_test {

// Processes every waiting message except the given one (left in the queue).
void PumpAllExcept(CPropertySheet& sheet, UINT kept);

}  // namespace wizard_test

namespace wizard_test {

// Whether the text of a static control, button or edit field fits the
// control in its own font (wrapped where the control wraps); on overflow
// *why tells the control, its text and the sizes.
bool TextFits(HWND control, std::wstring* why);
// The same for every visible control of a page.
bool PageTextsFit(HWND page, std::wstring* why);

}  // namespace wizard_test

namespace wizard_test {

// How many pixels of the area (client coordinates) differ from the colour.
int PixelsOtherThan(HWND window, RECT area, COLORREF colour);
// The screen's pixels per inch (LOGPIXELSY).
int ScreenPixelsPerInch();

}  // namespace wizard_test
