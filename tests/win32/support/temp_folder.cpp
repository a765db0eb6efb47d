#include "tests/win32/support/temp_folder.h"

#include <windows.h>

#include "tests/win32/support/files.h"
#include "tests/win32/support/paths.h"

std::wstring MakeTempFolder(const std::wstring& tag) {
    static LONG counter = 0;
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring path = Join(temp, L"kvn-" + tag + L"-" + std::to_wstring(GetCurrentProcessId()) +
                                             L"-" + std::to_wstring(InterlockedIncrement(&counter)));
    RemoveTree(path);
    MakeFolders(path);
    return path;
}

TempFolder::TempFolder(const std::wstring& tag) : m_path(MakeTempFolder(tag)) {}

TempFolder::~TempFolder() {
    RemoveTree(m_path);
}
