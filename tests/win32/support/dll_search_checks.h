#pragma once
// Checks of a program's DLL search, shared by the probes of the setup and of
// the uninstaller. A probe loads the planted DLL (a DLL beside the program)
// by its bare name in a static constructor, keeps that attempt, and later
// runs CheckDllSearch with it.
#include <windows.h>

struct LoadAttempt {
    bool loaded = false;
    DWORD error = 0;
};

// LoadLibraryW by the bare name; the DLL is freed again when it loaded.
LoadAttempt TryBareName(const wchar_t* name);

// The bare name was not found at start-up (ERROR_MOD_NOT_FOUND) nor now; by
// its full path beside the program the planted DLL loads; version.dll by name
// comes from the system folder. Prints one line per check and a summary
// naming the probe; returns the number of failed checks.
int CheckDllSearch(const LoadAttempt& atStartUp, const wchar_t* plantedName, const char* probe);
