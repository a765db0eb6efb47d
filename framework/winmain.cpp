// The program's entry point: runs InitInstance of the one static
// application object; FALSE ends the program without a message loop.
#include "framework/winapp.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // Before anything else can load a DLL: only the system folder is searched,
    // never the program's own (often a Downloads folder full of strangers).
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    CWinApp* app = AfxGetApp();
    if (!app) return 1;
    app->m_hInstance = instance;
    if (!app->InitInstance()) return 0;
    return app->Run();
}
