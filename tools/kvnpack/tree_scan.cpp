#include "tools/kvnpack/tree_scan.h"

#include <algorithm>
#include <map>
#include <system_error>

#include "tools/kvnpack/name_rules.h"
#include "tools/kvnpack/utf16.h"

namespace fs = std::filesystem;

namespace {

constexpr uint64_t kFourGiB = uint64_t(1) << 32;

std::string Shown(const fs::path& path) {
    return path.u8string();
}

bool ComponentName(const fs::path& entry, std::u16string& name, std::string& error) {
#ifdef _WIN32
    (void)error;  // Windows names are UTF-16 already and cannot hold "\"
    const std::wstring native = entry.filename().native();
    name.assign(native.begin(), native.end());
#else
    if (!Utf8ToUtf16(entry.filename().native(), name)) {
        error = Shown(entry) + ": file name is not valid UTF-8";
        return false;
    }
    if (name.find(u'\\') != std::u16string::npos) {
        error = Shown(entry) + ": file name contains \"\\\", the package's folder separator";
        return false;
    }
#endif
    return true;
}

bool ScanFolder(const fs::path& folder, const std::u16string& prefix, std::vector<TreeEntry>& entries,
                std::string& error) {
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) {
        error = Shown(folder) + ": cannot read the folder: " + ec.message();
        return false;
    }
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        const fs::path source = it->path();
        std::u16string component;
        if (!ComponentName(source, component, error)) return false;
        TreeEntry entry;
        entry.name = prefix.empty() ? component : prefix + u"\\" + component;
        entry.source = source;
        const std::string why = CheckRecordName(entry.name);
        if (!why.empty()) {
            error = Shown(source) + ": " + why;
            return false;
        }
        const fs::file_status status = fs::symlink_status(source, ec);
        if (ec) {
            error = Shown(source) + ": " + ec.message();
            return false;
        }
        if (fs::is_symlink(status)) {
            error = Shown(source) + ": a symbolic link (kvnpack does not follow links)";
            return false;
        }
        if (fs::is_directory(status)) {
            entry.folder = true;
            entry.attributes = kFolderAttributes;
            entries.push_back(entry);
            if (!ScanFolder(source, entry.name, entries, error)) return false;
            continue;
        }
        if (!fs::is_regular_file(status)) {
            error = Shown(source) + ": neither a regular file nor a folder";
            return false;
        }
        entry.size = fs::file_size(source, ec);
        if (ec) {
            error = Shown(source) + ": " + ec.message();
            return false;
        }
        if (entry.size >= kFourGiB) {
            error = Shown(source) + ": file of 4 GiB or more (a record holds at most 4 GiB - 1 bytes)";
            return false;
        }
        entry.attributes = kFileAttributes;
        if ((status.permissions() & fs::perms::owner_write) == fs::perms::none)
            entry.attributes |= kReadOnlyAttribute;
        entries.push_back(entry);
    }
    if (ec) {
        error = Shown(folder) + ": cannot read the folder: " + ec.message();
        return false;
    }
    return true;
}

}  // namespace

uint64_t PackageImageSize(const std::vector<TreeEntry>& entries) {
    uint64_t size = 4;
    for (const TreeEntry& entry : entries) size += 12 + 2 * uint64_t(entry.name.size()) + entry.size;
    return size;
}

bool ScanTree(const fs::path& root, std::vector<TreeEntry>& entries, std::string& error) {
    entries.clear();
    std::error_code ec;
    if (!fs::is_directory(root, ec)) {
        error = Shown(root) + ": not a folder";
        return false;
    }
    if (!ScanFolder(root, std::u16string(), entries, error)) return false;
    std::sort(entries.begin(), entries.end(),
              [](const TreeEntry& a, const TreeEntry& b) { return RecordNameLess(a.name, b.name); });

    std::map<std::u16string, size_t> folded;
    for (size_t i = 0; i < entries.size(); ++i) {
        const auto placed = folded.emplace(FoldCase(entries[i].name), i);
        if (!placed.second) {
            error = Shown(entries[placed.first->second].source) + " and " + Shown(entries[i].source) +
                    ": names that differ only in letter case (Windows would write one over the other)";
            return false;
        }
    }
    if (PackageImageSize(entries) >= kFourGiB) {
        error = Shown(root) + ": the package image would reach 4 GiB (its size is held in 32 bits)";
        return false;
    }
    return true;
}
