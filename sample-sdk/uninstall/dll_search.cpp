// The uninstaller runs elevated from a copy in the user's temp folder, where
// anyone can put a DLL beside it. Only the system folder is searched for DLLs
// loaded by name. This runs as a C initializer of the runtime (section
// .CRT$XIB), before every C++ static constructor and before wWinMain.
#include <windows.h>

namespace {

int __cdecl RestrictDllSearchToSystemFolder() {
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    return 0;
}

using CInitializer = int(__cdecl*)();
__attribute__((section(".CRT$XIB"), used))
CInitializer restrictDllSearch = RestrictDllSearchToSystemFolder;

}  // namespace
