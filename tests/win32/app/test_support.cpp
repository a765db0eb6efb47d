#include "tests/win32/app/test_support.h"

#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

// COM for the shell-link objects, on the thread that runs the tests.
class ComEnvironment : public ::testing::Environment {
public:
    void SetUp() override { CoInitialize(nullptr); }
    void TearDown() override { CoUninitialize(); }
};

::testing::Environment* const g_com = ::testing::AddGlobalTestEnvironment(new ComEnvironment);

}  // namespace

int RecordingCallback::ReportProgress(int stringId, int percent) {
    reports.emplace_back(stringId, percent);
    if (m_stopIndex >= 0 && reports.size() == static_cast<size_t>(m_stopIndex) + 1) return 0;
    if (m_stopArmed && reports.back() == m_stopAt) {
        m_stopArmed = false;
        return 0;
    }
    return 1;
}

std::wstring Widen(const char* ascii) {
    std::wstring out;
    for (const char* p = ascii; *p; ++p) out.push_back(static_cast<wchar_t>(static_cast<unsigned char>(*p)));
    return out;
}

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out.push_back(c < 128 ? static_cast<char>(c) : '?');
    return out;
}

std::wstring Join(const std::wstring& folder, const std::wstring& name) {
    if (folder.empty()) return name;
    if (folder.back() == L'\\') return folder + name;
    return folder + L"\\" + name;
}

std::wstring MakeTempFolder(const wchar_t* tag) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    static int counter = 0;
    std::wstring path = Join(temp, std::wstring(L"kvn-app-") + tag + L"-" +
                                       std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter));
    RemoveTree(path);
    MakeFolders(path);
    return path;
}

std::wstring ProgramFolder() {
    wchar_t module[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::wstring path = module;
    return path.substr(0, path.find_last_of(L'\\'));
}

void RemoveTree(const std::wstring& path) {
    if (path.empty()) return;
    std::error_code error;
    // Read-only files would stop remove_all.
    if (fs::is_directory(path, error)) {
        for (auto it = fs::recursive_directory_iterator(path, error); !error && it != fs::recursive_directory_iterator();
             it.increment(error))
            SetFileAttributesW(it->path().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    fs::remove_all(path, error);
}

bool PathExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool IsFolder(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

std::string ReadFileBytes(const std::wstring& path) {
    std::ifstream in(fs::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool MakeFolders(const std::wstring& path) {
    std::error_code error;
    fs::create_directories(path, error);
    return IsFolder(path);
}

std::vector<std::wstring> ListFolder(const std::wstring& path) {
    std::vector<std::wstring> names;
    std::error_code error;
    for (auto it = fs::directory_iterator(path, error); !error && it != fs::directory_iterator(); it.increment(error))
        names.push_back(it->path().filename().wstring());
    std::sort(names.begin(), names.end());
    return names;
}

void CompareTrees(const std::wstring& expected, const std::wstring& actual, std::vector<std::wstring>& failures) {
    std::vector<std::wstring> want = ListFolder(expected);
    std::vector<std::wstring> have = ListFolder(actual);
    if (want != have) failures.push_back(L"entries differ: " + actual);
    for (const std::wstring& name : want) {
        std::wstring from = Join(expected, name);
        std::wstring to = Join(actual, name);
        if (IsFolder(from)) {
            if (!IsFolder(to)) failures.push_back(L"folder missing: " + to);
            else CompareTrees(from, to, failures);
        } else if (IsFolder(to) || !PathExists(to)) {
            failures.push_back(L"file missing: " + to);
        } else if (ReadFileBytes(from) != ReadFileBytes(to)) {
            failures.push_back(L"content differs: " + to);
        }
    }
}

std::wstring ProgramsFolder() {
    wchar_t programs[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, programs);
    return programs;
}
