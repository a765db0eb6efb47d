#pragma once
// What the uninstaller removes, as plain data, and the removal itself.
#include <windows.h>

#include "app/product_names.h"
#include "sample-sdk/uninstall/tree_removal.h"

// The uninstall entry the setup writes under HKEY_LOCAL_MACHINE.
constexpr const wchar_t* kUninstallKeyPath = L"" KVN_NAME_UNINSTALL_KEY;
// The product's folder in the Start menu, below the Programs folder.
constexpr const wchar_t* kStartMenuVendorFolder = L"" KVN_NAME_START_MENU_VENDOR_FOLDER;
constexpr const wchar_t* kStartMenuProductFolder = L"" KVN_NAME_START_MENU_PRODUCT_FOLDER;

struct RemovalTargets {
  // The installation folder, removed with everything in it.
  wchar_t installFolder[MAX_PATH] = {};
  // The uninstall entry: this key with its values (and any subkeys).
  HKEY registryRoot = HKEY_LOCAL_MACHINE;
  wchar_t registryKey[MAX_PATH] = {};
  // The Start-menu Programs folder; its "Korvane\Barcode Reader SDK" is
  // removed, then "Korvane" when that is empty. Empty: no Start-menu step.
  wchar_t programsFolder[MAX_PATH] = {};
  // Rounds of the folder removal and the pause between them, for files that
  // are still held for a moment (the first process's image just after it ended).
  int attempts = 20;
  DWORD pauseMilliseconds = 250;
};

// The installation folder given, the real uninstall entry and the current
// user's Programs folder (SHGetFolderPathW, CSIDL_PROGRAMS). False when the
// folder does not fit or the Programs folder cannot be resolved.
bool DefaultRemovalTargets(const wchar_t* installFolder, RemovalTargets* targets);

// Removes all targets; every step is tried whatever happened before. The
// report lists what stays. True when nothing stays.
bool RemoveInstallation(const RemovalTargets& targets, RemovalReport* report);
