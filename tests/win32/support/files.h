#pragma once
// Files and folders in the test programs, read and written with the
// system's own calls, independently of the setup's code.
#include <cstddef>
#include <string>
#include <vector>

bool PathExists(const std::wstring& path);
bool IsFolder(const std::wstring& path);
bool FileExists(const std::wstring& path);  // a file, not a folder
// Creates the folder and every missing parent; true when it is a folder then.
bool MakeFolders(const std::wstring& path);
// Removes a file or a folder with everything below it, read-only entries
// and paths longer than MAX_PATH too; links to folders are removed, not
// followed.
void RemoveTree(const std::wstring& path);
// The whole file; empty when it cannot be read.
std::string ReadFileBytes(const std::wstring& path);
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
// Names of the entries of a folder, sorted; empty when it cannot be read.
std::vector<std::wstring> ListFolder(const std::wstring& path);
// Files and folders below folder (not counting folder itself), or its files only.
size_t CountEntries(const std::wstring& folder, bool filesOnly = false);
// Adds to failures every difference between two files or two trees (names,
// kinds, bytes, the read-only, hidden and system attributes).
void CompareFile(const std::wstring& expected, const std::wstring& actual,
                 std::vector<std::wstring>& failures);
void CompareTrees(const std::wstring& expected, const std::wstring& actual,
                  std::vector<std::wstring>& failures);
