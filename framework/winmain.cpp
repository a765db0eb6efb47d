// The program's entry point: runs InitInstance of the one static
// application object; FALSE ends the program without a message loop.
#include "framework/winapp.h"

namespace {

// Only the system folder is searched for DLLs loaded by name, never the
// program's own folder (often a Downloads folder full of strangers). This
// runs as a C initializer of the runtime (section .CRT$XI), which comes
// before every C++ static constructor and before wWinMain, so no static
// object can load a DLL while the program's folder is still searched.
int __cdecl RestrictDllSearchToSystemFolder() {
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    return 0;
}

using CInitializer = int(__cdecl*)();
__attribute__((section(".CRT$XIB"), used))
CInitializer restrictDllSearch = RestrictDllSearchToSystemFolder;

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    CWinApp* app = AfxGetApp();
    if (!app) return 1;
    app->m_hInstance = instance;
    if (!app->InitInstance()) return 0;
    return app->Run();
}
