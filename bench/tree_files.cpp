#include "bench/tree_files.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <system_error>

#include "bench/content.h"

namespace fs = std::filesystem;

bool WriteTree(const TreePlan& plan, const fs::path& root, std::string& error) {
    std::error_code ec;
    fs::create_directories(root, ec);
    if (!fs::is_directory(root, ec)) {
        error = root.string() + ": cannot create the folder";
        return false;
    }
    if (!fs::is_empty(root, ec)) {
        error = root.string() + ": the folder is not empty";
        return false;
    }
    for (const std::string& folder : plan.folders) {
        if (!fs::create_directories(root / folder, ec) && ec) {
            error = (root / folder).string() + ": " + ec.message();
            return false;
        }
    }
    std::string content;
    for (const PlannedFile& file : plan.files) {
        MakeContent(file, content);
        std::ofstream out(root / file.path, std::ios::binary | std::ios::trunc);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        out.close();
        if (!out) {
            error = (root / file.path).string() + ": cannot write the file";
            return false;
        }
    }
    return true;
}

namespace {

struct Entry {
    bool folder = false;
    uintmax_t size = 0;
};

std::map<std::string, Entry> List(const fs::path& root, std::vector<std::string>& problems) {
    std::map<std::string, Entry> entries;
    std::error_code ec;
    fs::recursive_directory_iterator it(root, ec), end;
    if (ec) {
        problems.push_back(root.string() + ": cannot be read");
        return entries;
    }
    for (; it != end; it.increment(ec)) {
        if (ec) {
            problems.push_back(root.string() + ": cannot be read completely");
            break;
        }
        Entry entry;
        entry.folder = it->is_directory(ec);
        entry.size = entry.folder ? 0 : it->file_size(ec);
        entries[fs::relative(it->path(), root, ec).generic_string()] = entry;
    }
    return entries;
}

}  // namespace

bool SameFileBytes(const fs::path& a, const fs::path& b) {
    std::ifstream fa(a, std::ios::binary), fb(b, std::ios::binary);
    if (!fa || !fb) return false;
    char ba[1 << 16], bb[1 << 16];
    for (;;) {
        fa.read(ba, sizeof ba);
        fb.read(bb, sizeof bb);
        if (fa.gcount() != fb.gcount()) return false;
        if (!std::equal(ba, ba + fa.gcount(), bb)) return false;
        if (fa.gcount() == 0 || !fa) return !fb || fb.peek() == std::ifstream::traits_type::eof();
    }
}

std::vector<std::string> CompareTrees(const fs::path& expected, const fs::path& actual) {
    std::vector<std::string> problems;
    const auto want = List(expected, problems);
    const auto have = List(actual, problems);
    for (const auto& [name, entry] : want) {
        const auto found = have.find(name);
        if (found == have.end()) {
            problems.push_back(name + ": missing");
        } else if (found->second.folder != entry.folder) {
            problems.push_back(name + ": a " + (entry.folder ? "folder" : "file") + " was expected");
        } else if (!entry.folder && found->second.size != entry.size) {
            problems.push_back(name + ": " + std::to_string(found->second.size) + " bytes instead of " +
                               std::to_string(entry.size));
        } else if (!entry.folder && !SameFileBytes(expected / name, actual / name)) {
            problems.push_back(name + ": different bytes");
        }
    }
    for (const auto& [name, entry] : have)
        if (!want.count(name)) problems.push_back(name + ": not expected");
    return problems;
}

bool RemoveTree(const fs::path& root, std::string& error) {
    std::error_code ec;
    // A folder without its write bit cannot be emptied: give it back first.
    for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code entryError;
        if (it->is_directory(entryError))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, entryError);
    }
    fs::remove_all(root, ec);
    if (ec || fs::exists(root)) {
        error = root.string() + ": cannot be removed completely";
        return false;
    }
    return true;
}
