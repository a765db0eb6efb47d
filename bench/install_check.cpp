#include "bench/install_check.h"

#include <set>
#include <system_error>

#include "app/product_names.h"
#include "bench/tree_files.h"

namespace fs = std::filesystem;

const char* const kExpectedShortcuts[6] = {"Uninstall Barcode Reader SDK.lnk",
                                           "Barcode Reader SDK Demo.lnk",
                                           "Help.lnk",
                                           "Java Help.lnk",
                                           "Samples.lnk",
                                           "Redistributables.lnk"};

PrefixPaths LocatePrefix(const fs::path& prefix, int programBits) {
    PrefixPaths paths;
    const bool wow64 = programBits == 32;
    const fs::path drive = prefix / "drive_c";
    paths.vendorDir = drive / (wow64 ? "Program Files (x86)" : "Program Files") / KVN_NAME_VENDOR_FOLDER;
    paths.installDir = paths.vendorDir / KVN_NAME_PRODUCT_FOLDER;
    paths.systemDir = drive / "windows" / (wow64 ? "syswow64" : "system32");
    std::error_code ec;
    for (fs::directory_iterator it(drive / "users", ec), end; !ec && it != end; it.increment(ec)) {
        if (it->path().filename() == "Public" || !it->is_directory(ec)) continue;
        paths.menuVendorDir = it->path() / "AppData" / "Roaming" / "Microsoft" / "Windows" / "Start Menu" /
                              "Programs" / KVN_NAME_START_MENU_VENDOR_FOLDER;
        paths.menuDir = paths.menuVendorDir / KVN_NAME_START_MENU_PRODUCT_FOLDER;
        break;
    }
    return paths;
}

fs::path InstalledFolderOf(const std::string& packageFolder, const PrefixPaths& paths) {
    if (packageFolder == "Sys32") return paths.systemDir;
    if (packageFolder == "Main" || packageFolder == "Bin") return paths.installDir;
    return paths.installDir / packageFolder;
}

std::vector<std::string> CheckInstallation(const fs::path& tree, const PrefixPaths& paths) {
    std::vector<std::string> problems;
    std::set<std::string> expected;  // relative to the installation folder
    std::error_code ec;
    for (fs::directory_iterator top(tree, ec), end; !ec && top != end; top.increment(ec)) {
        const std::string package = top->path().filename().string();
        const fs::path destination = InstalledFolderOf(package, paths);
        if (destination != paths.installDir && package != "Sys32") expected.insert(package);
        for (fs::recursive_directory_iterator it(top->path(), ec), stop; !ec && it != stop;
             it.increment(ec)) {
            const fs::path relative = fs::relative(it->path(), top->path(), ec);
            const fs::path installed = destination / relative;
            if (package != "Sys32")
                expected.insert(fs::relative(installed, paths.installDir, ec).generic_string());
            if (it->is_directory(ec)) {
                if (!fs::is_directory(installed, ec))
                    problems.push_back(installed.string() + ": folder missing");
            } else if (!fs::exists(installed, ec)) {
                problems.push_back(installed.string() + ": missing");
            } else if (!SameFileBytes(it->path(), installed)) {
                problems.push_back(installed.string() + ": other bytes than " + it->path().string());
            }
        }
    }
    for (fs::recursive_directory_iterator it(paths.installDir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string relative = fs::relative(it->path(), paths.installDir, ec).generic_string();
        if (!expected.count(relative)) {
            problems.push_back(it->path().string() + ": not part of the tree");
            if (it->is_directory(ec)) it.disable_recursion_pending();
        }
    }
    if (ec) problems.push_back(paths.installDir.string() + ": cannot be read");
    std::set<std::string> links;
    for (fs::directory_iterator it(paths.menuDir, ec), end; !ec && it != end; it.increment(ec))
        links.insert(it->path().filename().string());
    for (const char* link : kExpectedShortcuts)
        if (!links.erase(link)) problems.push_back(std::string("shortcut missing: ") + link);
    for (const std::string& extra : links) problems.push_back("shortcut not expected: " + extra);
    return problems;
}

void RemoveInstallation(const fs::path& tree, const PrefixPaths& paths) {
    std::string error;
    if (fs::exists(paths.vendorDir)) RemoveTree(paths.vendorDir, error);
    if (!paths.menuVendorDir.empty() && fs::exists(paths.menuVendorDir))
        RemoveTree(paths.menuVendorDir, error);
    std::error_code ec;
    for (fs::directory_iterator it(tree / "Sys32", ec), end; !ec && it != end; it.increment(ec))
        fs::remove(paths.systemDir / it->path().filename(), ec);
}
