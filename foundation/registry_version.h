#pragma once
// Registry and file-version helpers. Windows only.
#include <windows.h>
#include <cstdint>

// A Windows error code, 0 when written. Creates missing keys (KEY_ALL_ACCESS).
int WriteRegistryValue(HKEY root, const wchar_t* keyPath, const wchar_t* valueName, DWORD type,
                       const BYTE* data, DWORD byteCount);
// Most significant file-version double-word in the upper half; 0 when unknown.
// version.dll is loaded at run time from the system folder only.
uint64_t GetFileVersion(const wchar_t* path);
// "%d.%d.%d.%d", most significant part first. Nothing when output is null.
void FormatVersion(wchar_t* output, DWORD least, DWORD most);
