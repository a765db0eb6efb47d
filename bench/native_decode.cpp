#include "bench/native_decode.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "bench/clock.h"
#include "package/aes_key.h"
#include "package/key_blob.h"
#include "package/package_format.h"
#include "tools/kvnpack/utf16.h"

namespace {

// mkdir -p; the outcome is judged by the write that follows.
void MakeFolders(const std::string& path) {
    if (mkdir(path.c_str(), 0755) == 0 || errno == EEXIST) return;
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos || slash == 0) return;
    MakeFolders(path.substr(0, slash));
    mkdir(path.c_str(), 0755);
}

std::string TargetPath(const std::string& folder, const char16_t* name) {
    std::u16string relative(name);
    for (char16_t& c : relative)
        if (c == u'\\') c = u'/';
    return folder + "/" + Utf16ToUtf8(relative);
}

bool WriteAll(int fd, const uint8_t* data, uint32_t size) {
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written <= 0) {
            if (written < 0 && errno == EINTR) continue;
            return false;
        }
        data += written;
        size -= static_cast<uint32_t>(written);
    }
    return true;
}

// One file: its contents copied from the image into their own block, any old
// file removed, a new one written in one call. Read-only records lose the write bits.
bool WriteFileRecord(const PackageRecord& record, const std::string& path) {
    CWBlock content;
    if (record.contentLength > 0 && !content.Append(record.content, record.contentLength)) return false;
    unlink(path.c_str());
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, content.GetData(), content.GetLength());
    if (record.attributes & 0x01) ok = fchmod(fd, 0444) == 0 && ok;
    return close(fd) == 0 && ok;
}

}  // namespace

int WriteRecords(const CWBlock& package, const std::string& folder, DecodeCounts& counts) {
    PackageRecordReader reader(package);
    while (!reader.AtEnd()) {
        MakeFolders(folder);  // before every record, as the setup does
        PackageRecord record;
        const int read = reader.Next(record);
        if (read == 0) break;
        if (read < 0) return -2;
        if (!record.IsNamed()) continue;
        if (!PreparePackageName(record.name)) {
            ++counts.refused;
            continue;
        }
        const std::string path = TargetPath(folder, record.name);
        if (record.IsFolder()) {
            MakeFolders(path);
            ++counts.folders;
        } else if (WriteFileRecord(record, path)) {
            ++counts.files;
            counts.bytes += record.contentLength;
        } else {
            ++counts.refused;
        }
    }
    return 0;
}

bool ReadPayload(const std::string& path, CWBlock& block, std::string& error) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info;
    if (fd < 0 || fstat(fd, &info) != 0 || info.st_size <= 0 || info.st_size > 0xFFFFFFF0) {
        if (fd >= 0) close(fd);
        error = path + ": cannot be read as a payload";
        return false;
    }
    const uint32_t size = static_cast<uint32_t>(info.st_size);
    bool ok = block.SetSize(size) != 0;
    for (uint32_t done = 0; ok && done < size;) {
        const ssize_t got = read(fd, block.GetData() + done, size - done);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0)
            ok = false;
        else
            done += static_cast<uint32_t>(got);
    }
    close(fd);
    if (!ok) error = path + ": cannot be read";
    return ok;
}

void DecryptContainer(CWBlock& container) {
    uint8_t bytes[kKeyBlobSize];
    WriteKeyBlob(bytes);
    CWBlock blob;
    blob.Append(bytes, kKeyBlobSize);
    CWCryptAESKey key;
    key.ImportKeyBlob(blob);
    key.Decrypt(container);
}

int DecodePayloadFile(const std::string& payload, const std::string& folder, DecodeTimes* times,
                      DecodeCounts* counts, std::string& error) {
    DecodeTimes t;
    DecodeCounts c;
    double start = NowSeconds();
    CWBlock container;
    if (!ReadPayload(payload, container, error)) return -1;
    double now = NowSeconds();
    t.read = now - start;

    start = now;
    DecryptContainer(container);
    now = NowSeconds();
    t.decrypt = now - start;

    start = now;
    CWBlock package;
    const int inflated = InflatePackage(container, package);
    now = NowSeconds();
    t.inflate = now - start;
    if (inflated != 0) {
        error = payload + ": does not inflate (status " + std::to_string(inflated) + ")";
        return -3;
    }

    start = now;
    const int written = WriteRecords(package, folder, c);
    t.extract = NowSeconds() - start;
    if (times) *times = t;
    if (counts) *counts = c;
    if (written != 0) {
        error = payload + ": a record runs past the end of the package image";
        return -2;
    }
    return 0;
}
