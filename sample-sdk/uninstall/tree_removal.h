#pragma once
// Removal of a folder tree for the uninstaller.
#include <windows.h>

// What could not be removed: a count and the first such path.
struct RemovalReport {
  int failures = 0;
  wchar_t firstFailure[MAX_PATH] = {};
};

// Notes one path that could not be removed.
void NoteFailure(RemovalReport* report, const wchar_t* path);

// Removes folder and everything below it. Read-only attributes are cleared
// first. A link below it (a reparse point: junction or symbolic link) is
// removed as a link; what it points at is never entered. An entry whose path
// would not fit into 260 units is left and counted. True when the folder is
// gone afterwards, also when it did not exist; false (and counted) when it or
// something in it stays, or when the path names a file.
bool RemoveFolderTree(const wchar_t* folder, RemovalReport* report);
