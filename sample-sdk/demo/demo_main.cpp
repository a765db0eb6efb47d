// KVNBarcodeDemo.exe: a small window that shows the SDK's runtime at work.
#include <windows.h>

#include "sample-sdk/demo/cwd_report.h"
#include "sample-sdk/demo/demo_window.h"
#include "sample-sdk/demo/runtime_library.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  // Before anything else, so the report shows the folder the demo got.
  ReportCurrentFolder();
  RuntimeLibrary runtime;
  return RunDemoWindow(instance, runtime, show);
}
