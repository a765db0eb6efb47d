#pragma once
// The setup's decoding run on this machine: the payload's bytes copied into
// one block, both layers decrypted in place, the image inflated into a second
// block, and the records walked with the package reader and written below a
// folder with one content block per file, as the setup writes them.
#include <cstdint>
#include <string>

#include "foundation/block.h"

struct DecodeTimes {
    double read = 0, decrypt = 0, inflate = 0, extract = 0;  // seconds
    double Total() const { return read + decrypt + inflate + extract; }
};

struct DecodeCounts {
    uint64_t folders = 0, files = 0, bytes = 0;
    uint64_t refused = 0;  // records whose name the setup does not write, or that could not be written
};

// 0 done; -1 the payload cannot be read; -2 a fault while a record was read;
// -3 the payload does not inflate (damaged, or made under another key).
int DecodePayloadFile(const std::string& payload, const std::string& folder, DecodeTimes* times,
                      DecodeCounts* counts, std::string& error);

// The extraction step alone over a package image. 0 done, -2 a record runs
// past the end of the image.
int WriteRecords(const CWBlock& package, const std::string& folder, DecodeCounts& counts);

// The payload file's bytes into block (exactly its size, one region).
bool ReadPayload(const std::string& path, CWBlock& block, std::string& error);

// The setup's key blob imported into a key object, and the container decrypted in place.
void DecryptContainer(CWBlock& container);
