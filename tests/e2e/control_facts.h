#pragma once
// What locate.exe prints about one window.
#include <windows.h>

#include <string>

// hwnd, id, class, rect (screen), center, visible, enabled, focused, text,
// and by class: checked and kind (buttons), pos (progress bars), the items
// of tree views and list boxes. Keys carry the prefix (e.g. "" or "w3.").
void PrintControlFacts(HWND window, const std::wstring& prefix);

// The sheet itself: responding (its thread answers messages), the facts
// above and page (index of the current page).
void PrintSheetFacts(HWND sheet);
