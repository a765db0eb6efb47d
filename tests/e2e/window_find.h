#pragma once
// Finding the wizard window of another process and its controls.
#include <windows.h>

#include <string>
#include <vector>

// The visible top-level window whose caption contains captionPart (case
// sensitive); a hidden one only when no visible window matches. Null if none.
HWND FindTopWindow(const std::wstring& captionPart);

// The page window a property sheet shows now, null when the window is no
// sheet or shows no page.
HWND CurrentPage(HWND sheet);

// Position of the current page in the sheet, -1 when unknown.
int CurrentPageIndex(HWND sheet);

// Every window below top, parents before children.
std::vector<HWND> Descendants(HWND top);

// The control with this id below top. Several pages use the same ids, so the
// current page is searched first, then the sheet's own children (the wizard
// buttons), then any visible window, then any window at all. Null if none.
HWND FindControl(HWND top, int id);

// The window's caption or a control's text, read through WM_GETTEXT.
std::wstring ReadWindowText(HWND window);

// The window's class name.
std::wstring ReadClassName(HWND window);
