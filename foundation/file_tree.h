#pragma once
// File-tree operations over wide paths. Windows only.
#include <windows.h>
#include "foundation/block.h"

class CWRunControl;

// Outcome of the last CreateDirectoryW (non-zero when the innermost folder was created).
int CreateFolderPath(const wchar_t* path);
// Outcome of the last action (see CopyFolderLevel, foundation/folder_walk.h);
// entries whose path would not fit in 260 units are skipped and count as a
// failed action. Every folder that cannot be created and every entry that is
// not copied adds to the failure count of run (foundation/run_control.h); a
// run asked to stop ends the copy between two entries. Without a run: never
// stopped, nothing counted.
int CopyFolderTree(const wchar_t* destination, const wchar_t* source, CWRunControl* run = nullptr);
// Puts a copy of source at destination, replacing whatever file is there
// (read-only, hidden, system, or held for a moment by another program):
// through the run's journal when it keeps one (saved aside, or staged for
// the next restart when a program holds it for good), otherwise in place.
// True when the file is in place or staged; false with the last error set.
bool PlaceFile(const wchar_t* destination, const wchar_t* source, CWRunControl* run);
// Non-zero when the folder itself was removed. Never follows reparse points.
int DeleteFolderTree(const wchar_t* folder);
// 0 on success, -1 when the path is null or the file cannot be created,
// otherwise the system error code of the failed write.
int WriteBlockToFile(const wchar_t* path, const CWBlock& block);
// The same for count bytes at bytes, with the creation disposition given:
// CREATE_ALWAYS replaces a file, CREATE_NEW creates nothing (-1) when
// anything is in the way. attributes, when given, receives the attributes
// the file has once written, read through its handle
// (INVALID_FILE_ATTRIBUTES when it was not created or cannot be asked).
int WriteBytesToFile(const wchar_t* path, const void* bytes, uint32_t count, DWORD disposition,
                     DWORD* attributes = nullptr);
// True when path names an existing folder (a failed folder creation that
// found one in place is no failure).
bool IsExistingFolder(const wchar_t* path);
