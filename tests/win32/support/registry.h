#pragma once
// Registry keys as the test program sees them (the view of its bitness).
#include <windows.h>

#include <string>

bool RegistryKeyExists(HKEY root, const std::wstring& path);
