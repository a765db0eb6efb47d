#include "tools/kvnpack/pe_layout.h"

#include "tools/kvnpack/le_bytes.h"

namespace {

constexpr uint16_t kMagicPe32 = 0x10B;
constexpr uint16_t kMagicPe32Plus = 0x20B;
constexpr size_t kSectionEntrySize = 40;
constexpr size_t kMinimumDirectories = kPeDebugDirectory + 1;

bool PowerOfTwo(uint32_t value) {
    return value != 0 && (value & (value - 1)) == 0;
}

}  // namespace

int PeLayout::SectionOf(uint32_t rva) const {
    for (size_t i = 0; i < sections.size(); ++i) {
        const PeSection& s = sections[i];
        if (rva >= s.virtualAddress && uint64_t(rva) < uint64_t(s.virtualAddress) + s.MemorySize())
            return static_cast<int>(i);
    }
    return -1;
}

bool ReadPeLayout(const std::vector<uint8_t>& file, PeLayout& layout, std::string& error) {
    layout = PeLayout();
    const uint64_t size = file.size();
    if (size < 2 || file[0] != 'M' || file[1] != 'Z') {
        error = "not a PE file (no MZ header)";
        return false;
    }
    if (size < 0x40) {
        error = "truncated: the file ends inside its DOS header";
        return false;
    }
    const uint32_t peAt = GetU32(file, 0x3C);
    if (uint64_t(peAt) + 24 > size) {
        error = "truncated: the file ends before its PE header";
        return false;
    }
    if (file[peAt] != 'P' || file[peAt + 1] != 'E' || file[peAt + 2] != 0 || file[peAt + 3] != 0) {
        error = "not a PE file (no PE signature)";
        return false;
    }
    layout.fileHeaderAt = peAt + 4;
    const uint16_t sectionCount = GetU16(file, layout.fileHeaderAt + 2);
    layout.symbolTablePointer = GetU32(file, layout.fileHeaderAt + 8);
    const uint16_t optionalSize = GetU16(file, layout.fileHeaderAt + 16);
    layout.optionalHeaderAt = layout.fileHeaderAt + 20;
    const uint64_t sectionTableAt = uint64_t(layout.optionalHeaderAt) + optionalSize;
    if (sectionTableAt + uint64_t(sectionCount) * kSectionEntrySize > size) {
        error = "truncated: the file ends inside its headers";
        return false;
    }
    if (optionalSize < 2) {
        error = "not a program: it has no optional header";
        return false;
    }
    const uint16_t magic = GetU16(file, layout.optionalHeaderAt);
    if (magic != kMagicPe32 && magic != kMagicPe32Plus) {
        error = "not a PE32 or PE32+ program (optional header magic " + std::to_string(magic) + ")";
        return false;
    }
    layout.plus = magic == kMagicPe32Plus;
    const size_t countAt = layout.optionalHeaderAt + (layout.plus ? 108 : 92);
    layout.directoriesAt = countAt + 4;
    if (layout.DirectoryAt(kMinimumDirectories) > sectionTableAt) {
        error = "damaged: its optional header is too short for the data directories";
        return false;
    }
    const uint32_t directoryCount = GetU32(file, countAt);
    if (directoryCount < kMinimumDirectories ||
        layout.directoriesAt + uint64_t(directoryCount) * 8 > sectionTableAt) {
        error = "damaged: its data directories do not fit its optional header";
        return false;
    }
    for (uint32_t i = 0; i < directoryCount; ++i)
        layout.directories.push_back(
            {GetU32(file, layout.DirectoryAt(i)), GetU32(file, layout.DirectoryAt(i) + 4)});
    layout.sectionAlignment = GetU32(file, layout.optionalHeaderAt + 32);
    layout.fileAlignment = GetU32(file, layout.optionalHeaderAt + 36);
    if (!PowerOfTwo(layout.sectionAlignment) || !PowerOfTwo(layout.fileAlignment) ||
        layout.fileAlignment > layout.sectionAlignment) {
        error = "damaged: its section and file alignments are not powers of two";
        return false;
    }
    if (sectionCount == 0) {
        error = "damaged: it has no sections";
        return false;
    }
    uint64_t previousEnd = 0;
    for (uint16_t i = 0; i < sectionCount; ++i) {
        PeSection s;
        s.headerAt = static_cast<size_t>(sectionTableAt + uint64_t(i) * kSectionEntrySize);
        for (size_t c = 0; c < 8 && file[s.headerAt + c]; ++c)
            s.name += static_cast<char>(file[s.headerAt + c]);
        s.virtualSize = GetU32(file, s.headerAt + 8);
        s.virtualAddress = GetU32(file, s.headerAt + 12);
        s.rawSize = GetU32(file, s.headerAt + 16);
        s.rawPointer = GetU32(file, s.headerAt + 20);
        s.characteristics = GetU32(file, s.headerAt + 36);
        if (s.rawSize && uint64_t(s.rawPointer) + s.rawSize > size) {
            error = "truncated: section " + s.name + " ends at byte " +
                    std::to_string(uint64_t(s.rawPointer) + s.rawSize) + " but the file has " +
                    std::to_string(size);
            return false;
        }
        if (s.virtualAddress < previousEnd) {
            error = "damaged: its sections overlap or are out of order";
            return false;
        }
        previousEnd = uint64_t(s.virtualAddress) + s.MemorySize();
        layout.sections.push_back(s);
    }
    return true;
}

uint32_t PeChecksum(const std::vector<uint8_t>& file, size_t checksumAt) {
    const auto byteAt = [&](size_t i) -> uint32_t {
        return (i >= file.size() || (i >= checksumAt && i < checksumAt + 4)) ? 0 : file[i];
    };
    uint64_t sum = 0;
    for (size_t i = 0; i < file.size(); i += 2) {
        sum += byteAt(i) | (byteAt(i + 1) << 8);
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<uint32_t>(sum + file.size());
}
