#pragma once
// Collects the files and folders below a folder as package entries, in the
// order kvnpack writes them, refusing what the setup could not install.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

constexpr uint32_t kFolderAttributes = 0x10;
constexpr uint32_t kFileAttributes = 0x20;
constexpr uint32_t kReadOnlyAttribute = 0x01;

struct TreeEntry {
    std::u16string name;           // relative to the root, "\" as separator
    std::filesystem::path source;  // the entry on disk
    bool folder = false;
    uint32_t attributes = 0;
    uint64_t size = 0;  // file length; 0 for folders
};

// Bytes of the package image that holds the entries: the leading u32 and
// one record per entry.
uint64_t PackageImageSize(const std::vector<TreeEntry>& entries);

// Every entry below root, sorted by the bytes of its record name (so each
// folder comes before what it holds, and the same tree always gives the same
// order). false, with a message naming the offending path, for a name the
// setup refuses or Windows cannot hold, two names that differ only in letter
// case, a symbolic link or other special file, a file over 4 GiB, a package
// image over 4 GiB, or a folder that cannot be read.
bool ScanTree(const std::filesystem::path& root, std::vector<TreeEntry>& entries, std::string& error);
