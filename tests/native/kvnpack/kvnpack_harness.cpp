#include "tests/native/kvnpack/kvnpack_harness.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

#include "foundation/block.h"
#include "package/aes_key.h"
#include "package/key_blob.h"
#include "package/package_format.h"

namespace {

std::string SlurpFd(int fd) {
    std::string text;
    lseek(fd, 0, SEEK_SET);
    char buffer[4096];
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<size_t>(n));
    return text;
}

int TempFd() {
    char name[] = "/tmp/kvnpack-test-out-XXXXXX";
    const int fd = mkstemp(name);
    unlink(name);
    return fd;
}

// Written here, apart from the tool's own conversion, so a fault there shows.
std::string Utf8Of(const char16_t* units, size_t count) {
    std::string out;
    for (size_t i = 0; i < count; ++i) {
        uint32_t c = units[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < count)
            c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

}  // namespace

RunResult Kvnpack(const std::vector<std::string>& arguments) {
    RunResult result;
    const int outFd = TempFd();
    const int errFd = TempFd();
    const pid_t child = fork();
    if (child == 0) {
        dup2(outFd, 1);
        dup2(errFd, 2);
        std::vector<char*> argv;
        std::string program = KVNPACK_PATH;
        argv.push_back(&program[0]);
        std::vector<std::string> copies(arguments);
        for (std::string& a : copies) argv.push_back(&a[0]);
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = SlurpFd(outFd);
    result.err = SlurpFd(errFd);
    close(outFd);
    close(errFd);
    return result;
}

void WriteBytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

std::vector<uint8_t> RandomBytes(size_t count, uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<uint8_t> bytes(count);
    // Half random, half repetitive, so compression has work either way.
    for (size_t i = 0; i < count; ++i)
        bytes[i] = (i / 64) % 2 ? static_cast<uint8_t>(random()) : static_cast<uint8_t>(i % 7);
    return bytes;
}

TreeMap DescribeTree(const fs::path& root) {
    TreeMap tree;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
        std::string name = fs::relative(it->path(), root).string();
        for (char& c : name)
            if (c == '/') c = '\\';
        TreeItem item;
        item.folder = it->is_directory();
        if (!item.folder) {
            item.bytes = ReadBytes(it->path());
            item.readOnly = (it->status().permissions() & fs::perms::owner_write) == fs::perms::none;
        }
        tree[name] = item;
    }
    return tree;
}

void MakeRandomTree(const fs::path& root, uint32_t seed, int entries, size_t maxFileBytes) {
    std::mt19937 random(seed);
    static const char* const kParts[] = {"Main",
                                         "bin",
                                         "Help",
                                         "r\xC3\xA9sum\xC3\xA9",
                                         "\xE6\x97\xA5\xE6\x9C\xAC",
                                         "emoji\xF0\x9F\x98\x80",
                                         "Sample Files",
                                         "x.y.z",
                                         "lib"};
    std::vector<fs::path> folders = {root};
    fs::create_directories(root);
    for (int i = 0; i < entries; ++i) {
        const fs::path parent = folders[random() % folders.size()];
        const std::string name = std::string(kParts[random() % 9]) + "_" + std::to_string(i);
        const fs::path path = parent / fs::u8path(name);
        const bool deepEnough =
            std::distance(path.begin(), path.end()) - std::distance(root.begin(), root.end()) > 3;
        if (!deepEnough && random() % 3 == 0) {
            fs::create_directory(path);
            folders.push_back(path);
            continue;
        }
        size_t size = random() % 4 == 0 ? 0 : random() % (maxFileBytes + 1);
        WriteBytes(path, RandomBytes(size, seed * 131 + i));
        if (random() % 5 == 0)
            fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                            fs::perm_options::remove);
    }
}

DecodedPayload DecodeAsSetup(const std::vector<uint8_t>& payload) {
    DecodedPayload decoded;
    CWBlock container;
    if (!payload.empty()) container.Append(payload.data(), static_cast<uint32_t>(payload.size()));
    uint8_t blobBytes[kKeyBlobSize];
    WriteKeyBlob(blobBytes);
    CWBlock blob;
    blob.Append(blobBytes, kKeyBlobSize);
    CWCryptAESKey key;
    key.ImportKeyBlob(blob);
    key.Decrypt(container);
    CWBlock package;
    decoded.inflateStatus = InflatePackage(container, package);
    if (decoded.inflateStatus != 0) return decoded;
    if (package.GetLength() >= 4) {
        const uint8_t* p = package.GetData();
        decoded.version = p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
    }
    PackageRecordReader reader(package);
    PackageRecord record;
    while ((decoded.readStatus = reader.Next(record)) == 1) {
        DecodedRecord out;
        out.name = Utf8Of(record.name, std::char_traits<char16_t>::length(record.name));
        out.attributes = record.attributes;
        out.bytes.assign(record.content, record.content + record.contentLength);
        decoded.records.push_back(out);
    }
    return decoded;
}

std::vector<TestStub> TestStubs() {
    std::vector<TestStub> stubs;
    std::stringstream list(KVN_TEST_STUBS);
    std::string item;
    while (std::getline(list, item, ',')) {
        const size_t bar = item.find('|');
        if (bar != std::string::npos) stubs.push_back({item.substr(0, bar), item.substr(bar + 1)});
    }
    return stubs;
}

RunResult RunShell(const std::string& command) {
    RunResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.out.append(buffer, n);
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

void ExpectRefusedKeepingOutput(std::vector<std::string> arguments, const fs::path& output,
                                const std::string& fragment) {
    static const std::vector<uint8_t> kGood = {'G', 'O', 'O', 'D'};
    fs::create_directories(output.parent_path());
    WriteBytes(output, kGood);
    const size_t before =
        std::distance(fs::directory_iterator(output.parent_path()), fs::directory_iterator());
    arguments.push_back("-o");
    arguments.push_back(output.string());
    const RunResult run = Kvnpack(arguments);
    EXPECT_EQ(1, run.status) << run.out << run.err;
    EXPECT_NE(std::string::npos, run.err.find(fragment)) << "message: " << run.err;
    EXPECT_EQ(kGood, ReadBytes(output));
    EXPECT_EQ(before,
              size_t(std::distance(fs::directory_iterator(output.parent_path()), fs::directory_iterator())))
        << "a temporary file was left beside the output";
}
