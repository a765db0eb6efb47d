#pragma once
// Runs the kvnpack program, makes folder trees on disk and decodes payloads
// the way the setup does (its key blob, both layers, inflate, record reader).
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/native/support/temp_folder.h"

namespace fs = std::filesystem;

struct RunResult {
    int status = -1;
    std::string out, err;
};

// kvnpack with these arguments, its output captured.
RunResult Kvnpack(const std::vector<std::string>& arguments);

void WriteBytes(const fs::path& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadBytes(const fs::path& path);
std::vector<uint8_t> RandomBytes(size_t count, uint32_t seed);

// What a tree holds, by record name ("\" separated, UTF-8 here for messages).
struct TreeItem {
    bool folder = false;
    bool readOnly = false;
    std::vector<uint8_t> bytes;
};
using TreeMap = std::map<std::string, TreeItem>;
TreeMap DescribeTree(const fs::path& root);

// Makes a random tree under root: folders up to three levels, files of
// 0 to maxFileBytes bytes, non-ASCII names, some read-only files, empty folders.
void MakeRandomTree(const fs::path& root, uint32_t seed, int entries, size_t maxFileBytes);

struct DecodedRecord {
    std::string name;  // UTF-8
    uint32_t attributes = 0;
    std::vector<uint8_t> bytes;
};
struct DecodedPayload {
    int inflateStatus = -99;  // InflatePackage's result
    int readStatus = -99;     // the reader's last result
    uint32_t version = 0;     // the image's leading u32
    std::vector<DecodedRecord> records;
};
DecodedPayload DecodeAsSetup(const std::vector<uint8_t>& payload);

// The stubs the build links for these tests (PE32 and PE32+), each with the
// objdump that reads it.
struct TestStub {
    fs::path file;
    std::string objdump;
};
std::vector<TestStub> TestStubs();

// A command's standard output and exit status (through the shell).
RunResult RunShell(const std::string& command);

// Runs kvnpack on an output that already holds good bytes: it must exit 1
// with a message holding fragment, and leave the old output and no
// temporary file beside it.
void ExpectRefusedKeepingOutput(std::vector<std::string> arguments, const fs::path& output,
                                const std::string& fragment);
