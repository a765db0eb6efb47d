#pragma once
// What an installation of the SDK tree leaves in a Wine prefix, read from
// the Unix side: the installation folder, the system-folder files and the
// Start-menu folder; and their removal between benchmark runs.
#include <filesystem>
#include <string>
#include <vector>

struct PrefixPaths {
    std::filesystem::path installDir;  // .../Program Files[ (x86)]/Korvane/KVNBarcodeSDK
    std::filesystem::path vendorDir;   // .../Program Files/Korvane
    std::filesystem::path systemDir;   // .../windows/system32 or syswow64
    std::filesystem::path menuDir;     // the user's Programs/Korvane/Barcode Reader SDK
    std::filesystem::path menuVendorDir;
};

// The folders of the prefix's first user (not "Public"); empty paths when
// the prefix has no such user folder. A 32-bit program in a 64-bit prefix
// installs into "Program Files (x86)" and its system folder is SysWOW64;
// the 64-bit one uses "Program Files" and system32.
PrefixPaths LocatePrefix(const std::filesystem::path& prefix, int programBits = 64);

// Where each package folder of the tree is installed, relative to the
// installation folder ("" for Main and Bin); Sys32 goes to the system folder.
std::filesystem::path InstalledFolderOf(const std::string& packageFolder, const PrefixPaths& paths);

// Every difference from a complete installation of tree: a file missing or
// with other bytes, a file or folder too many in the installation folder
// (the working folder left behind, for one), a shortcut missing or extra.
std::vector<std::string> CheckInstallation(const std::filesystem::path& tree, const PrefixPaths& paths);

// Removes the installation folder's vendor folder, the Start-menu vendor
// folder and the tree's system-folder files.
void RemoveInstallation(const std::filesystem::path& tree, const PrefixPaths& paths);

// The Start-menu shortcuts of a complete installation.
extern const char* const kExpectedShortcuts[6];
