// The program's entry point: runs InitInstance of the one static
// application object; FALSE ends the program without a message loop, with
// the exit code of ExitInstance. The
// program links foundation/dll_search_restriction.cpp beside it, which
// restricts the DLL search before any static constructor runs.
#include "framework/winapp.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    CWinApp* app = AfxGetApp();
    if (!app) return 1;
    app->m_hInstance = instance;
    if (!app->InitInstance()) return app->ExitInstance();
    return app->Run();
}
