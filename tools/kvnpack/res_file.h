#pragma once
// The 32-bit resource file format (.res) as windres -J res reads it.
#include <cstdint>
#include <string>
#include <vector>

constexpr uint16_t kLanguageEnglishUS = 1033;

struct ResourceEntry {
    std::u16string type;  // stored as a string exactly as given
    std::u16string name;  // likewise
    uint16_t language = kLanguageEnglishUS;
    std::vector<uint8_t> data;
};

// The empty header entry, then one entry per resource: data size, header
// size, type and name as zero-terminated UTF-16LE strings, DWORD alignment,
// data version, memory flags, language, version, characteristics, then the
// data padded to a DWORD boundary.
std::vector<uint8_t> BuildResFile(const std::vector<ResourceEntry>& entries);
