#pragma once
// The demo's window: a barcode made by the runtime, what the runtime reads
// back from it, the runtime's version and a Close button.
#include <windows.h>

#include "sample-sdk/demo/runtime_library.h"

constexpr const wchar_t* kDemoWindowClass = L"KVNBarcodeDemoWindow";
constexpr const wchar_t* kDemoWindowTitle = L"Barcode Reader SDK Demo";
// Labels a caller can read with WM_GETTEXT.
constexpr int kVersionLabelId = 101;
constexpr int kReadBackLabelId = 102;
// The text the demo encodes and reads back.
constexpr const char* kDemoBarcodeText = "KORVANE SDK";

// Creates and shows the window and runs its message loop until the window is
// closed (Close, Escape or the close box). Returns the exit code.
int RunDemoWindow(HINSTANCE instance, const RuntimeLibrary& runtime, int show);
