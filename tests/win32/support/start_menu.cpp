#include "tests/win32/support/start_menu.h"

#include <windows.h>
#include <shlobj.h>

#include "app/product_names.h"
#include "tests/win32/support/files.h"
#include "tests/win32/support/paths.h"

std::wstring ProgramsFolder() {
    wchar_t programs[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, programs);
    return programs;
}

std::wstring StartMenuProductFolder() {
    return Join(ProgramsFolder(), L"" KVN_NAME_START_MENU_SUBFOLDER);
}

std::wstring StartMenuVendorFolder() {
    return Join(ProgramsFolder(), L"" KVN_NAME_START_MENU_VENDOR_FOLDER);
}

void RemoveProductByForce(const std::wstring& installDir) {
    if (!installDir.empty()) {
        RemoveTree(installDir);
        RemoveDirectoryW(installDir.substr(0, installDir.find_last_of(L'\\')).c_str());
    }
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"" KVN_NAME_UNINSTALL_KEY);
    RemoveTree(StartMenuProductFolder());
    RemoveDirectoryW(StartMenuVendorFolder().c_str());
}
