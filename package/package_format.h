#pragma once
// The package layers below the encrypted container: the compressed image
// (u32 S + zlib stream) and the package image (u32 + records). Portable.
#include <cstdint>
#include "foundation/block.h"

// 0 success, -2 declared size S too small, -3 any other failure (also an
// image shorter than 4 bytes, an S larger than 1032 times the stream, which
// no deflate stream reaches, or a block that cannot be allocated). Memory
// grows with the inflated data, not with S.
int InflatePackage(const CWBlock& image, CWBlock& package);

constexpr uint32_t kRecordNameUnits = 259;  // units of a name that are kept
constexpr uint32_t kDirectoryAttribute = 0x10;

struct PackageRecord {
    char16_t name[kRecordNameUnits + 1];  // zero-terminated, at most 259 units kept
    uint32_t nameBytes;                   // the record's name length field n
    uint32_t attributes;                  // 0 when the field is missing
    const uint8_t* content;               // points into the package image
    uint32_t contentLength;               // 0 when the field is missing
    bool IsNamed() const { return name[0] != 0; }
    bool IsFolder() const { return (attributes & kDirectoryAttribute) != 0; }
};

// Bounds-checked walk over the records of a package image.
class PackageRecordReader {
public:
    explicit PackageRecordReader(const CWBlock& package);
    // 1 a record was read, 0 the end of the image, -2 a field runs past the end.
    int Next(PackageRecord& record);
    // True when no record is left to read (an image of at most 4 bytes from the start).
    bool AtEnd() const { return m_position >= m_size; }
    uint32_t Position() const { return m_position; }
    uint32_t Size() const { return m_size; }
    // position * 100 / size in 64-bit arithmetic, truncated.
    int PercentDone() const;

private:
    const uint8_t* m_data;
    uint32_t m_size;
    uint32_t m_position;
};

// Writes every run of separators ("\" or "/") as one "\" and drops trailing
// ones, so "Help\" and "Main\\x" name what "Help" and "Main\x" name. A rooted
// name is left as it is.
void NormalizePackageSeparators(char16_t* name);

// A name the setup will write: not rooted, no drive or stream colon, no ".."
// component, no device name component, not empty.
bool IsSafePackageName(const char16_t* name);

// What every reader of a package does with a record's name before it writes
// or shows it: the separators made plain, then the name checked. True when
// the setup writes the (now plain) name.
bool PreparePackageName(char16_t* name);
