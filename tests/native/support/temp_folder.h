#pragma once
// A fresh folder below the system's temporary folder for a native test.
#include <filesystem>
#include <string>

// "kvn-TAG-XXXXXX" below the temporary folder, removed with all it holds
// (read-only entries too) on destruction.
class TempFolder {
public:
    explicit TempFolder(const std::string& tag = "test");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const {
        return m_path / std::filesystem::u8path(name);
    }

private:
    std::filesystem::path m_path;
};
