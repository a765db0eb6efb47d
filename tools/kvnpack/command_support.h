#pragma once
// What kvnpack's commands share: the parsed command line, the resource
// names of the setup (package/payload_resource_names.h), messages and exit
// statuses, and packing a folder.
#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

#include "foundation/block.h"
#include "package/payload_resource_names.h"
#include "tools/kvnpack/decode_budget.h"

extern const char kUsage[];

struct Options {
    std::vector<std::string> positional;
    std::string output, payload, agreement, stub;
    bool foreignKey = false;
    bool help = false;
};

bool ParseOptions(const std::vector<std::string>& arguments, size_t first, Options& options,
                  std::ostream& err);

std::filesystem::path PathOf(const std::string& utf8);

// The message, then exit status 1 (refused or failed).
int Fail(std::ostream& err, const std::string& message);
// The message and the usage text, then exit status 2 (not understood).
int Usage(std::ostream& err, const std::string& message);

// A folder packed into a container, with what the setup needs to decode it.
struct Packed {
    CWBlock container;
    DecodeNeeds needs;
    size_t records = 0;
};
// Scans, packs and seals the folder; false with a message when it cannot be
// packed or the 32-bit setup could not hold it.
bool PackFolder(const std::string& folder, bool foreignKey, Packed& packed, std::string& error);
// A ready-made payload's bytes, checked to decode, and what decoding takes.
bool ReadPayload(const std::string& file, std::vector<uint8_t>& payload, DecodeNeeds& needs,
                 std::string& error);

int PackCommand(const Options& options, std::ostream& out, std::ostream& err);
int SetupCommand(const Options& options, std::ostream& out, std::ostream& err);
