#pragma once
// Where the uninstaller lives and whether that place is an SDK installation.
#include <windows.h>

#include <cstddef>

#include "app/product_names.h"

// The only folder names the uninstaller removes: "...\Korvane\KVNBarcodeSDK".
constexpr const wchar_t* kVendorFolderName = L"" KVN_NAME_VENDOR_FOLDER;
constexpr const wchar_t* kSdkFolderName = L"" KVN_NAME_PRODUCT_FOLDER;

// True when folder is an absolute path (drive or UNC) whose last component is
// "KVNBarcodeSDK" and the one before it "Korvane" (letter case ignored), with
// no "." or ".." components, no forward slashes and no trailing separator.
bool IsSdkInstallFolder(const wchar_t* folder);

// Writes the folder part of path (without the trailing "\") into folder.
// False when path has no folder part or the result does not fit.
bool ParentFolder(const wchar_t* path, wchar_t* folder, std::size_t size);

// The running program's own path in its long form (GetModuleFileNameW, then
// GetLongPathNameW, so a start through an 8.3 name still sees real names).
// False when the path does not fit into size units.
bool OwnProgramPath(wchar_t* path, std::size_t size);
