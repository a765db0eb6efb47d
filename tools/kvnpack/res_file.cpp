#include "tools/kvnpack/res_file.h"

namespace {

constexpr uint16_t kMoveablePure = 0x0030;

void PutU16(std::vector<uint8_t>& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value & 0xFF));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void PutU32(std::vector<uint8_t>& out, uint32_t value) {
    PutU16(out, static_cast<uint16_t>(value & 0xFFFF));
    PutU16(out, static_cast<uint16_t>(value >> 16));
}

void PutString(std::vector<uint8_t>& out, const std::u16string& text) {
    for (char16_t unit : text) PutU16(out, unit);
    PutU16(out, 0);
}

void AlignDword(std::vector<uint8_t>& out) {
    while (out.size() % 4 != 0) out.push_back(0);
}

void PutEntry(std::vector<uint8_t>& out, const std::vector<uint8_t>& identifiers, uint32_t dataSize,
              uint16_t memoryFlags, uint16_t language) {
    // The fixed part after the identifiers: data version, memory flags,
    // language, version, characteristics.
    const uint32_t headerSize = static_cast<uint32_t>(8 + identifiers.size() + 16);
    PutU32(out, dataSize);
    PutU32(out, headerSize);
    out.insert(out.end(), identifiers.begin(), identifiers.end());
    PutU32(out, 0);
    PutU16(out, memoryFlags);
    PutU16(out, language);
    PutU32(out, 0);
    PutU32(out, 0);
}

}  // namespace

std::vector<uint8_t> BuildResFile(const std::vector<ResourceEntry>& entries) {
    std::vector<uint8_t> out;
    // The empty entry that marks a 32-bit resource file: type and name are
    // the ordinal 0.
    const std::vector<uint8_t> ordinalZero = {0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00};
    PutEntry(out, ordinalZero, 0, 0, 0);
    for (const ResourceEntry& entry : entries) {
        std::vector<uint8_t> identifiers;
        PutString(identifiers, entry.type);
        PutString(identifiers, entry.name);
        AlignDword(identifiers);
        PutEntry(out, identifiers, static_cast<uint32_t>(entry.data.size()), kMoveablePure, entry.language);
        out.insert(out.end(), entry.data.begin(), entry.data.end());
        AlignDword(out);
    }
    return out;
}
