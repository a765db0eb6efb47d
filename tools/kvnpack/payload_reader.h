#pragma once
// Opens a payload the way the setup does (both layers, then inflate) and
// walks its records, with messages for a payload that does not decode.
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/block.h"
#include "package/package_format.h"

// A container's size is 4 more than a multiple of 32 and its trailer holds a
// compressed-image length that fits; false with a message otherwise.
bool CheckContainerShape(const std::vector<uint8_t>& payload, std::string& error);

// Decrypts and inflates the payload's bytes into package. false with a
// message for a payload that is damaged or made under another key.
bool OpenPayload(const std::vector<uint8_t>& payload, CWBlock& package, std::string& error);

// Every record of the package image in stored order (unnamed ones too).
// false with a message when a record runs past the end.
bool ReadAllRecords(const CWBlock& package, std::vector<PackageRecord>& records, std::string& error);

std::u16string RecordName(const PackageRecord& record);
