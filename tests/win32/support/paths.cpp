#include "tests/win32/support/paths.h"

#include <windows.h>

#include "tests/win32/support/text.h"

std::wstring Join(const std::wstring& folder, const std::wstring& name) {
    if (folder.empty()) return name;
    if (folder.back() == L'\\') return folder + name;
    return folder + L"\\" + name;
}

std::wstring ProgramFolder() {
    wchar_t module[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    const std::wstring path = module;
    return path.substr(0, path.find_last_of(L'\\'));
}

std::wstring WinePath(const char* unixPath) {
    std::wstring wide = Utf8ToWide(unixPath);
    for (wchar_t& c : wide)
        if (c == L'/') c = L'\\';
    return L"Z:" + wide;
}
