#pragma once
// The diagnostics of the file operations: one formatted line at a time,
// written as a debugger line and nowhere else. Windows only.
#include <windows.h>

// Formats with the Microsoft-style formatter ("%s" takes a wide string); a
// line that does not fit in 1024 units is cut.
void DebugTrace(const wchar_t* format, ...);

// Where DebugTrace hands each formatted line instead of the debugger output
// (null, the default: debugger output). Returns the previous sink.
using TraceSink = void (*)(const wchar_t* line);
TraceSink SetTraceSink(TraceSink sink);
