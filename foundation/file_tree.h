#pragma once
// File-tree operations over wide paths. Windows only.
#include <windows.h>
#include "foundation/block.h"

// Outcome of the last CreateDirectoryW (non-zero when the innermost folder was created).
int CreateFolderPath(const wchar_t* path);
// Outcome of the last action (see the tree copy rules); entries whose path
// would not fit in 260 units are skipped and count as a failed action. Every
// folder that cannot be created and every entry that is not copied adds to
// the thread's failure count (foundation/failure_count.h).
int CopyFolderTree(const wchar_t* destination, const wchar_t* source);
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
// Receives the diagnostics; writes at most a debugger line, nothing else.
void DebugTrace(const wchar_t* format, ...);

// Where DebugTrace hands each formatted line instead of the debugger output
// (null, the default: debugger output). Returns the previous sink.
using TraceSink = void (*)(const wchar_t* line);
TraceSink SetTraceSink(TraceSink sink);
