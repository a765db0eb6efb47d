// dll_holder.exe: a customer's program that has loaded a DLL, for the
// end-to-end test of a reinstall over a file in use.
//
//   dll_holder.exe DLL_PATH     loads the DLL (LoadLibraryW, as an
//                               application loads the runtime), prints
//                               "loaded=1" and waits until it is ended
//
// Exit code 1 when the DLL does not load, 64 wrong arguments.
#include <windows.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) return 64;
    HMODULE library = LoadLibraryW(argv[1]);
    if (!library) {
        std::fprintf(stderr, "dll_holder: LoadLibraryW failed with %lu\n", GetLastError());
        return 1;
    }
    std::printf("loaded=1\n");
    std::fflush(stdout);
    Sleep(INFINITE);
    return 0;
}
