#include "tests/native/support/temp_folder.h"

#include <stdlib.h>

#include <vector>

namespace fs = std::filesystem;

TempFolder::TempFolder(const std::string& tag) {
    const std::string pattern = (fs::temp_directory_path() / ("kvn-" + tag + "-XXXXXX")).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (mkdtemp(name.data())) m_path = name.data();
}

TempFolder::~TempFolder() {
    if (m_path.empty()) return;
    std::error_code ec;
    // Read-only files and folders go too (the owner may always chmod).
    for (auto it = fs::recursive_directory_iterator(m_path, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (!fs::is_symlink(it->symlink_status()))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::remove_all(m_path, ec);
}
