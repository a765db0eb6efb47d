#pragma once
// Path buffers hold at most 259 characters plus the terminating zero.
#include <cstddef>

constexpr int kPathUnits = 260;

// Sets byteCount bytes to zero when pointer is not null and byteCount > 0.
void ZeroFill(void* pointer, int byteCount);

// folder + "\" + name [+ "." + extension] into destination (size units).
// Returns 1 when written, 0 when refused (null destination, size <= 0,
// null or empty name, or a result that would not fit: destination then empty).
int JoinPath(wchar_t* destination, int size, const wchar_t* folder, const wchar_t* name,
             const wchar_t* extension);

// The "%s\%s" entry path of the tree operations: folder, one "\", name.
// Returns 1 when written, 0 when it would not fit (destination then empty).
int FormatEntryPath(wchar_t* destination, int size, const wchar_t* folder, const wchar_t* name);
