#pragma once
// Pictures at the screen's DPI. The bitmap resources are drawn for 96 pixels
// per inch; at a larger DPI the text grows with it, so the check boxes of the
// component tree are scaled by DPI / 96 to keep their size beside the text.
// (The sheet draws the watermark and the header bitmap at most 164 and 49
// pixels wide: those stay at their own size.)
#include <windows.h>

#include "foundation/owned_handle.h"
#include "wizard/dialog_font.h"  // ScreenDpi

// A size in pixels at 96 DPI, at the given DPI (rounded to nearest).
int ScaleForDpi(int size96, int dpi);
// The bitmap resource name of the module at the given DPI: the resource
// itself at 96 DPI or less, else a scaled 24-bit copy; none when the
// resource is missing or the copy cannot be made.
CWBitmap LoadBitmapForDpi(HINSTANCE module, const wchar_t* name, int dpi);
