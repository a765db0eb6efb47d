#pragma once
// Fonts the pages give to single controls (page titles, the agreement text).
#include <windows.h>

#include "foundation/owned_handle.h"

// The system's message font with the given face, size in points, weight and
// slant; null when it cannot be created. The caller deletes it.
HFONT MakeDialogFont(const wchar_t* face, int pointSize, int bold, int italic);

// LOGPIXELSY of the screen; 96 when the screen cannot be asked.
int ScreenDpi();

// Font height of a point size at a resolution, rounded toward zero (negative:
// a character height).
int FontHeightForPoints(int pointSize, int pixelsPerInch);

// Deletes the font *fontSlot held, creates one with MakeDialogFont into the
// slot and gives it to the dialog's control. The caller owns the slot.
void SetDlgItemFont(HWND dialogWindow, int controlId, const wchar_t* face, int pointSize, int bold,
                    int italic, CWFont* fontSlot);
