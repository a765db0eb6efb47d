#pragma once
// Paths in the test programs: joining, the program's own folder, and a
// build-machine path as Wine's drive Z: shows it.
#include <string>

// folder + "\" + name; no second backslash when folder ends with one, name
// alone when folder is empty.
std::wstring Join(const std::wstring& folder, const std::wstring& name);
// The folder that holds the running program (its helper programs and
// libraries are built there too).
std::wstring ProgramFolder();
// "/a/b" (UTF-8) as Wine's drive Z: shows it: "Z:\a\b".
std::wstring WinePath(const char* unixPath);
