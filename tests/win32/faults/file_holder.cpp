// Holds one file open until it is ended, like a program of the user that has
// the file open: without sharing, or with "rename" as a third argument the
// way the loader holds a DLL (read and delete sharing: it can be renamed,
// not overwritten). Arguments: the file path and the name of an event to set
// once the file is held. Exit code 1 when it cannot open it.
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    const bool renameShared = argc > 3 && wcscmp(argv[3], L"rename") == 0;
    HANDLE file = renameShared ? CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)
                               : CreateFileW(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[2]);
    if (ready) {
        SetEvent(ready);
        CloseHandle(ready);
    }
    Sleep(INFINITE);
    CloseHandle(file);
    return 0;
}
