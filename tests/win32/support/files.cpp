#include "tests/win32/support/files.h"

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/win32/support/paths.h"

namespace fs = std::filesystem;

namespace {

// The attributes a package carries onto an installed file.
const DWORD kGuardingAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// "C:\a\b" as "\\?\C:\a\b", so that no MAX_PATH limit applies (only for a
// full path written with backslashes, which the prefix takes as it is).
std::wstring LongPath(std::wstring path) {
    while (path.size() > 3 && path.back() == L'\\') path.pop_back();
    const bool full = path.size() >= 3 && path[1] == L':' && path[2] == L'\\';
    const bool plain = path.find(L'/') == std::wstring::npos && path.find(L"\\.") == std::wstring::npos;
    return full && plain ? L"\\\\?\\" + path : path;
}

void RemoveLongTree(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileW(path.c_str());
        return;
    }
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &data);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = data.cFileName;
                if (name != L"." && name != L"..") RemoveLongTree(path + L"\\" + name);
            } while (FindNextFileW(find, &data));
            FindClose(find);
        }
    }
    RemoveDirectoryW(path.c_str());
}

}  // namespace

bool PathExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool MakeFolders(const std::wstring& path) {
    if (path.empty()) return false;
    if (!PathExists(path)) {
        const size_t slash = path.find_last_of(L'\\');
        if (slash != std::wstring::npos && slash > 2) MakeFolders(path.substr(0, slash));
        CreateDirectoryW(path.c_str(), nullptr);
    }
    return IsFolder(path);
}

void RemoveTree(const std::wstring& path) {
    if (!path.empty()) RemoveLongTree(LongPath(path));
}

std::string ReadFileBytes(const std::wstring& path) {
    std::ifstream in(fs::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    return CloseHandle(file) && ok && written == bytes.size();
}

std::vector<std::wstring> ListFolder(const std::wstring& path) {
    std::vector<std::wstring> names;
    std::error_code error;
    for (auto it = fs::directory_iterator(path, error); !error && it != fs::directory_iterator();
         it.increment(error))
        names.push_back(it->path().filename().wstring());
    std::sort(names.begin(), names.end());
    return names;
}

size_t CountEntries(const std::wstring& folder, bool filesOnly) {
    size_t count = 0;
    for (const std::wstring& name : ListFolder(folder)) {
        const std::wstring path = Join(folder, name);
        if (IsFolder(path)) {
            if (!filesOnly) ++count;
            count += CountEntries(path, filesOnly);
        } else {
            ++count;
        }
    }
    return count;
}

void CompareFile(const std::wstring& expected, const std::wstring& actual,
                 std::vector<std::wstring>& failures) {
    if (!FileExists(actual))
        failures.push_back(L"file missing: " + actual);
    else if (ReadFileBytes(expected) != ReadFileBytes(actual))
        failures.push_back(L"content differs: " + actual);
    else if ((GetFileAttributesW(expected.c_str()) ^ GetFileAttributesW(actual.c_str())) &
             kGuardingAttributes)
        failures.push_back(L"attributes differ: " + actual);
}

void CompareTrees(const std::wstring& expected, const std::wstring& actual,
                  std::vector<std::wstring>& failures) {
    const std::vector<std::wstring> want = ListFolder(expected);
    if (want != ListFolder(actual)) failures.push_back(L"entries differ: " + actual);
    for (const std::wstring& name : want) {
        const std::wstring from = Join(expected, name);
        const std::wstring to = Join(actual, name);
        if (!IsFolder(from))
            CompareFile(from, to, failures);
        else if (!IsFolder(to))
            failures.push_back(L"folder missing: " + to);
        else
            CompareTrees(from, to, failures);
    }
}
