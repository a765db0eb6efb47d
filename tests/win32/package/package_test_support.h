#pragma once
// Files as bytes, trees and the extraction's progress receiver for the
// package tests under Wine, with the shared test support.
#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "package/package_callback.h"
#include "package/product_installer_callback.h"
#include "tests/win32/support/files.h"
#include "tests/win32/support/paths.h"
#include "tests/win32/support/progress_callbacks.h"
#include "tests/win32/support/temp_folder.h"
#include "tests/win32/support/text.h"

std::vector<uint8_t> ReadAll(const std::wstring& path);
void WriteAll(const std::wstring& path, const std::vector<uint8_t>& bytes);

struct TreeEntry {
    bool folder = false;
    DWORD attributes = 0;
    std::vector<uint8_t> bytes;
};
// Every entry below root by its relative name ("\" separated).
std::map<std::wstring, TreeEntry> ListTree(const std::wstring& root);

class RecordingProgress : public CWPackageCallback {
public:
    int OnExtractProgress(int percent) override {
        percents.push_back(percent);
        return static_cast<int>(percents.size()) == stopAt ? 0 : 1;
    }
    std::vector<int> percents;
    int stopAt = 0;
};
