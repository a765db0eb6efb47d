#include "tools/kvnpack/stub_location.h"

#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace {

fs::path RunningProgram() {
#ifdef _WIN32
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0) return fs::path();
        if (length < path.size()) return fs::path(path.substr(0, length));
        if (path.size() >= 32768) return fs::path();
        path.resize(path.size() * 2);
    }
#else
    std::error_code ec;
    const fs::path path = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : path;
#endif
}

}  // namespace

fs::path FindInstalledStub(std::vector<fs::path>& looked) {
    looked.clear();
    const fs::path program = RunningProgram();
    if (program.empty()) return fs::path();
    const fs::path folder = program.parent_path();
    looked.push_back(folder / kStubFileName);
    looked.push_back((folder.parent_path() / "share" / "kvnpack" / kStubFileName).lexically_normal());
    for (const fs::path& candidate : looked) {
        std::error_code ec;
        if (fs::is_regular_file(candidate, ec)) return candidate;
    }
    return fs::path();
}
