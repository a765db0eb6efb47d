#include "tools/kvnpack/file_io.h"

#include <fstream>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

unsigned long ProcessId() {
#ifdef _WIN32
    return GetCurrentProcessId();
#else
    return static_cast<unsigned long>(getpid());
#endif
}

}  // namespace

bool ReadFileBytes(const fs::path& path, std::vector<uint8_t>& bytes, std::string& error) {
    bytes.clear();
    std::error_code ec;
    if (fs::is_directory(path, ec)) {
        error = path.u8string() + ": a folder, not a file";
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = path.u8string() + ": cannot open the file";
        return false;
    }
    file.seekg(0, std::ios::end);
    const std::streamoff size = file.tellg();
    file.seekg(0, std::ios::beg);
    if (size < 0 || static_cast<uint64_t>(size) >= (uint64_t(1) << 32)) {
        error = path.u8string() + ": cannot read the file (or it is 4 GiB or more)";
        return false;
    }
    bytes.resize(static_cast<size_t>(size));
    if (size > 0) file.read(reinterpret_cast<char*>(bytes.data()), size);
    if (file.gcount() != size) {
        error = path.u8string() + ": cannot read the file";
        return false;
    }
    return true;
}

bool WriteFileReplacing(const fs::path& target, const uint8_t* data, size_t size, std::string& error) {
    fs::path temporary = target;
    temporary += ".kvnpack-" + std::to_string(ProcessId()) + ".tmp";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (!file) {
            error = target.u8string() + ": cannot create the file";
            return false;
        }
        if (size > 0) file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        file.close();
        if (!file) {
            std::error_code ignored;
            fs::remove(temporary, ignored);
            error = target.u8string() + ": cannot write the file";
            return false;
        }
    }
    std::error_code ec;
    fs::rename(temporary, target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        error = target.u8string() + ": cannot put the file in place: " + ec.message();
        return false;
    }
    return true;
}
