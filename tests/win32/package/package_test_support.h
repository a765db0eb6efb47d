#pragma once
// Folders, files and recording callbacks for the package tests under Wine.
#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "package/package_callback.h"
#include "package/product_installer_callback.h"

// "/a/b" as Wine's drive Z: sees it.
std::wstring WinePath(const char* unixPath);
std::wstring Widen(const std::u16string& text);

// A fresh folder below the temporary folder, removed with all its content.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::wstring& path() const { return m_path; }
    std::wstring operator/(const std::wstring& name) const { return m_path + L"\\" + name; }
private:
    std::wstring m_path;
};

void RemoveTree(const std::wstring& path);
bool Exists(const std::wstring& path);
bool IsFolder(const std::wstring& path);
std::vector<uint8_t> ReadAll(const std::wstring& path);
void WriteAll(const std::wstring& path, const std::vector<uint8_t>& bytes);

struct TreeEntry {
    bool folder = false;
    DWORD attributes = 0;
    std::vector<uint8_t> bytes;
};
// Every entry below root by its relative name ("\" separated).
std::map<std::wstring, TreeEntry> ListTree(const std::wstring& root);

struct Report {
    int id;
    int percent;
    double milliseconds;  // since the callback was made
};

class RecordingCallback : public IProductInstallerCallbak {
public:
    RecordingCallback();
    int ReportProgress(int stringId, int percent) override;
    void ReservedOperation(int, int) override {}
    std::vector<Report> reports;
    int stopAtExtractReport = 0;  // answer zero to the n-th 146 report (1-based); 0: never
    int stopAtValidationReport = 0;  // the same for the 147 reports
private:
    LARGE_INTEGER m_start, m_frequency;
    int m_extractReports = 0, m_validationReports = 0;
};

class RecordingProgress : public CWPackageCallback {
public:
    int OnExtractProgress(int percent) override {
        percents.push_back(percent);
        return static_cast<int>(percents.size()) == stopAt ? 0 : 1;
    }
    std::vector<int> percents;
    int stopAt = 0;
};
