#pragma once
// The programs that must not run while the setup replaces their files, and
// the search of the running processes for them.
#include <windows.h>
#include <vector>
#include "foundation/arrays.h"

// Null-terminated table of executable names, compared case-insensitively
// with a process's module base name.
extern const wchar_t* const BlockingProcessNames[];

// Appends to list one pointer to the table's entry for each running process
// whose module base name matches an entry. 0 when the processes could not be
// enumerated, else 1.
int FindBlockingProcesses(CWPtArray& list);

// Appends the table entries equal (ignoring case) to moduleName.
void AppendBlockingMatches(const wchar_t* moduleName, CWPtArray& list);

// Enumerates process ids with enumerate (EnumProcesses' contract), growing
// the buffer while the answer fills it. FALSE when enumerate fails.
using ProcessEnumerator = BOOL(WINAPI*)(DWORD* ids, DWORD bytes, DWORD* bytesReturned);
BOOL ReadProcessIds(ProcessEnumerator enumerate, std::vector<DWORD>& ids);

// The module base name of a process: its first module's, or where the
// modules cannot be listed (a process of the other bitness) the file name of
// its image; "<unknown>" when neither can be read.
void ReadProcessModuleName(DWORD processId, wchar_t (&name)[260]);
