#pragma once
// The parts of a PE executable (PE32 or PE32+) that kvnpack reads and
// changes when it writes resources into a setup stub: the headers' fields,
// the section table and the data directories, with their file offsets.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum PeDirectoryIndex : size_t {
    kPeResourceDirectory = 2,
    kPeSecurityDirectory = 4,
    kPeBaseRelocationDirectory = 5,
    kPeDebugDirectory = 6,
};

constexpr uint32_t kPeInitializedData = 0x40;  // section characteristics

struct PeSection {
    std::string name;
    uint32_t virtualSize = 0, virtualAddress = 0, rawSize = 0, rawPointer = 0, characteristics = 0;
    size_t headerAt = 0;  // file offset of its entry in the section table
    // The extent it takes in memory: its virtual size, or its raw size when
    // the linker left the virtual size 0.
    uint32_t MemorySize() const { return virtualSize ? virtualSize : rawSize; }
};

struct PeDirectory {
    uint32_t rva = 0, size = 0;
};

struct PeLayout {
    bool plus = false;  // PE32+ (64-bit)
    size_t fileHeaderAt = 0, optionalHeaderAt = 0, directoriesAt = 0;
    uint32_t sectionAlignment = 0, fileAlignment = 0;
    std::vector<PeSection> sections;  // in table order, which is address order
    std::vector<PeDirectory> directories;
    uint32_t symbolTablePointer = 0;

    size_t SizeOfInitializedDataAt() const { return optionalHeaderAt + 8; }
    size_t SizeOfImageAt() const { return optionalHeaderAt + 56; }
    size_t CheckSumAt() const { return optionalHeaderAt + 64; }
    size_t SymbolTablePointerAt() const { return fileHeaderAt + 8; }
    size_t DirectoryAt(size_t index) const { return directoriesAt + 8 * index; }
    // The section whose memory holds rva, or -1.
    int SectionOf(uint32_t rva) const;
};

// Reads and checks the headers: MZ and PE signatures, a PE32 or PE32+
// optional header with at least the first seven data directories, power-of-two
// alignments, sections in ascending, non-overlapping address order whose
// raw data lies inside the file. false with a message otherwise ("not a PE
// file ...", "truncated ...", "damaged ...").
bool ReadPeLayout(const std::vector<uint8_t>& file, PeLayout& layout, std::string& error);

// The optional header's checksum of the file: 16-bit one's-complement sum of
// the file with the checksum field counted as 0, plus the file length.
uint32_t PeChecksum(const std::vector<uint8_t>& file, size_t checksumAt);
