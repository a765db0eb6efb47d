#pragma once
// The demo's start-up report of its current folder: when the environment
// variable KVN_DEMO_CWD_FILE names a file, the demo writes its current folder
// there (UTF-8), so a caller can see in which folder it was started.
#include <windows.h>

constexpr const wchar_t* kCwdReportVariable = L"KVN_DEMO_CWD_FILE";

// Writes text (at most 259 characters) as UTF-8, without byte-order mark or
// line end, to path, replacing the file as a whole: the bytes go to
// "<path>.tmp" first, which is then moved over path, so a reader never sees
// half a file. False when anything fails; then no ".tmp" file stays.
bool WriteUtf8File(const wchar_t* path, const wchar_t* text);

// Does the report when the variable is set. False only when it is set and the
// report could not be written.
bool ReportCurrentFolder();
