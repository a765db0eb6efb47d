#pragma once
// Fresh folders below the temporary folder for the test programs.
#include <string>

// A new empty folder, unique to this process and call ("kvn-TAG-PID-N");
// the caller removes it (RemoveTree).
std::wstring MakeTempFolder(const std::wstring& tag);

// A new empty folder (MakeTempFolder), removed with all it holds on destruction.
class TempFolder {
public:
    explicit TempFolder(const std::wstring& tag = L"tmp");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::wstring& path() const { return m_path; }
    std::wstring operator/(const std::wstring& relative) const { return m_path + L"\\" + relative; }

private:
    std::wstring m_path;
};
