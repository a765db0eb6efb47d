#pragma once
// A fresh folder below the temporary folder for one test, removed afterwards.
#include <unistd.h>

#include <filesystem>
#include <string>

#include "bench/tree_files.h"

class TestFolder {
public:
    explicit TestFolder(const std::string& tag) {
        static int counter = 0;
        m_path = std::filesystem::temp_directory_path() /
                 ("kvnbench-test-" + tag + "-" + std::to_string(getpid()) + "-" + std::to_string(++counter));
        std::string error;
        RemoveTree(m_path, error);
        std::filesystem::create_directories(m_path);
    }
    ~TestFolder() {
        std::string error;
        RemoveTree(m_path, error);
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;
    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_path;
};
