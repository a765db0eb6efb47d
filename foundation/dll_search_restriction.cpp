// Only the system folder is searched for DLLs loaded by name, never the
// program's own folder (a Downloads or temp folder anyone can write to).
// This runs as a C initializer of the runtime (section .CRT$XIB), before
// every C++ static constructor and before the program's main function, so
// no static object can load a DLL while the program's folder is searched.
//
// Compiled into each program as a source of its own: from a static library
// the linker would drop it, since nothing refers to it by name.
#include <windows.h>

namespace {

int __cdecl RestrictDllSearchToSystemFolder() {
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    return 0;
}

using CInitializer = int(__cdecl*)();
__attribute__((section(".CRT$XIB"), used)) CInitializer restrictDllSearch = RestrictDllSearchToSystemFolder;

}  // namespace
