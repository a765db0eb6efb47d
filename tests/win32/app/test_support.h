#pragma once
// Helpers shared by the application tests: files, folders, a recording
// progress callback. Test code only.
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "package/product_installer_callback.h"

using ProgressReport = std::pair<int, int>;  // string id, percent
using ReportList = std::vector<ProgressReport>;

// Records every report; answers zero to the first report equal to stopAt,
// or to the report with the index stopIndex.
class RecordingCallback : public IProductInstallerCallbak {
public:
    RecordingCallback() = default;
    explicit RecordingCallback(ProgressReport stopAt) : m_stopAt(stopAt), m_stopArmed(true) {}
    static RecordingCallback StoppingAtIndex(size_t index) {
        RecordingCallback callback;
        callback.m_stopIndex = static_cast<long>(index);
        return callback;
    }
    int ReportProgress(int stringId, int percent) override;
    void ReservedOperation(int, int) override {}
    ReportList reports;

private:
    ProgressReport m_stopAt{0, 0};
    bool m_stopArmed = false;
    long m_stopIndex = -1;
};

std::wstring Widen(const char* ascii);
std::wstring Join(const std::wstring& folder, const std::wstring& name);
// A new empty folder below the temporary folder, unique to this process.
std::wstring MakeTempFolder(const wchar_t* tag);
// The folder that holds the test program (the helper libraries sit there too).
std::wstring ProgramFolder();
void RemoveTree(const std::wstring& path);
bool PathExists(const std::wstring& path);
bool IsFolder(const std::wstring& path);
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
std::string ReadFileBytes(const std::wstring& path);
bool MakeFolders(const std::wstring& path);
// Names of the entries of a folder, sorted; empty when it cannot be read.
std::vector<std::wstring> ListFolder(const std::wstring& path);
// Adds to failures every difference between two trees (names, kinds, bytes).
void CompareTrees(const std::wstring& expected, const std::wstring& actual, std::vector<std::wstring>& failures);
std::wstring ProgramsFolder();  // the current user's Start-menu Programs folder
std::string Narrow(const std::wstring& text);  // for messages
