#include "tests/win32/package/package_test_support.h"

#include <cstdio>

std::wstring WinePath(const char* unixPath) {
    const int units = MultiByteToWideChar(CP_UTF8, 0, unixPath, -1, nullptr, 0);
    std::wstring wide(units > 0 ? units - 1 : 0, L'\0');
    if (units > 1) MultiByteToWideChar(CP_UTF8, 0, unixPath, -1, &wide[0], units);
    for (wchar_t& c : wide)
        if (c == L'/') c = L'\\';
    return L"Z:" + wide;
}

std::wstring Widen(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

TempFolder::TempFolder() {
    static int counter = 0;
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    wchar_t name[64];
    swprintf(name, 64, L"kvnpkg-%lu-%d", GetCurrentProcessId(), ++counter);
    m_path = std::wstring(temp) + name;
    RemoveTree(m_path);
    CreateDirectoryW(m_path.c_str(), nullptr);
}

TempFolder::~TempFolder() { RemoveTree(m_path); }

void RemoveTree(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileW(path.c_str());
        return;
    }
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name != L"." && name != L"..") RemoveTree(path + L"\\" + name);
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    RemoveDirectoryW(path.c_str());
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<uint8_t> ReadAll(const std::wstring& path) {
    std::vector<uint8_t> bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
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

RecordingCallback::RecordingCallback() {
    QueryPerformanceFrequency(&m_frequency);
    QueryPerformanceCounter(&m_start);
}

int RecordingCallback::ReportProgress(int stringId, int percent) {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    reports.push_back({stringId, percent,
                       1000.0 * static_cast<double>(now.QuadPart - m_start.QuadPart) /
                           static_cast<double>(m_frequency.QuadPart)});
    if (stringId == 146 && ++m_extractReports == stopAtExtractReport) return 0;
    if (stringId == 147 && ++m_validationReports == stopAtValidationReport) return 0;
    return 1;
}
