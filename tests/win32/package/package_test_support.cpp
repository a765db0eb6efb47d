#include "tests/win32/package/package_test_support.h"

std::vector<uint8_t> ReadAll(const std::wstring& path) {
    std::vector<uint8_t> bytes;
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    const DWORD size = GetFileSize(file, nullptr);
    bytes.resize(size);
    DWORD done = 0;
    if (size) ReadFile(file, bytes.data(), size, &done, nullptr);
    bytes.resize(done);
    CloseHandle(file);
    return bytes;
}

void WriteAll(const std::wstring& path, const std::vector<uint8_t>& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD done = 0;
    if (!bytes.empty()) WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
    CloseHandle(file);
}

namespace {

void ListInto(const std::wstring& root, const std::wstring& prefix, std::map<std::wstring, TreeEntry>& tree) {
    WIN32_FIND_DATAW data;
    const std::wstring folder = prefix.empty() ? root : root + L"\\" + prefix;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring relative = prefix.empty() ? name : prefix + L"\\" + name;
        TreeEntry entry;
        entry.attributes = data.dwFileAttributes;
        entry.folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (!entry.folder) entry.bytes = ReadAll(root + L"\\" + relative);
        tree[relative] = entry;
        if (entry.folder) ListInto(root, relative, tree);
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

}  // namespace

std::map<std::wstring, TreeEntry> ListTree(const std::wstring& root) {
    std::map<std::wstring, TreeEntry> tree;
    ListInto(root, L"", tree);
    return tree;
}
