#include "package/package_format.h"

#include <cstring>
#include <zlib.h>

namespace {

uint32_t LoadU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// A zlib stream begins with CMF/FLG: method 8 (deflate), window at most 32K,
// and CMF * 256 + FLG a multiple of 31. Anything else makes uncompress fail
// with Z_DATA_ERROR, so it is refused before S bytes are committed for it.
bool HasZlibHeader(const uint8_t* stream, uint32_t length) {
    if (length < 2) return false;
    const unsigned cmf = stream[0];
    const unsigned flg = stream[1];
    if ((cmf & 0x0F) != 8 || (cmf >> 4) > 7) return false;
    return ((cmf << 8) | flg) % 31 == 0;
}

// Deflate spends at least two bits on a match of 258 bytes, so a stream of
// n bytes never inflates to more than 1032 * n bytes.
constexpr uint64_t kMaxInflateRatio = 1032;

// Inflates the stream into package, which ends up exactly declared bytes long
// with zeros after the data. The block grows with the output (doubling, never
// past declared) rather than being sized from declared up front, so a damaged
// stream costs memory in proportion to what it really inflates to. The
// results follow zlib's uncompress with declared bytes of output space.
int InflateInto(const uint8_t* stream, uint32_t streamLength, uint32_t declared, CWBlock& package) {
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return -3;
    z.next_in = const_cast<Bytef*>(stream);
    z.avail_in = streamLength;

    const uint64_t first = 8ull * streamLength + 4096;
    uint32_t room = declared < first ? declared : static_cast<uint32_t>(first);
    uint32_t produced = 0;
    int status = -3;
    // S = 0 offers no output space at all (and takes no region).
    if (room == 0 || (package.SetSize(room) && package.GetLength() == room)) {
        for (;;) {
            if (produced == room && room < declared) {
                const uint64_t doubled = 2ull * room;
                room = declared < doubled ? declared : static_cast<uint32_t>(doubled);
                if (!package.SetSize(room)) break;
            }
            uint8_t spare = 0;  // zlib wants an output pointer even with no room
            const uint32_t space = room - produced;
            z.next_out = space ? package.GetData() + produced : &spare;
            z.avail_out = space;
            const int result = inflate(&z, Z_NO_FLUSH);
            produced += space - z.avail_out;
            if (result == Z_STREAM_END) {
                status = 0;
                break;
            }
            if (result == Z_OK) continue;
            // No progress: with all of declared used the space was too small,
            // otherwise the input ended before the stream did.
            if (result == Z_BUF_ERROR && produced == declared) status = -2;
            break;
        }
    }
    inflateEnd(&z);
    if (status != 0) return status;
    if (declared == 0) {
        package.SetSize(0);  // keeps a region it has, takes none
        return 0;
    }
    if (!package.SetSize(declared)) return -3;
    // Bytes past the data read as zero even where the block kept an older region.
    std::memset(package.GetData() + produced, 0, declared - produced);
    return 0;
}

bool AllZero(const uint8_t* p, uint64_t count) {
    for (uint64_t i = 0; i < count; ++i)
        if (p[i] != 0) return false;
    return true;
}

bool IsSeparator(char16_t c) {
    return c == u'\\' || c == u'/';
}

char16_t UpperAscii(char16_t c) {
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c;
}

bool SameIgnoringCase(const char16_t* a, size_t length, const char* upper) {
    size_t i = 0;
    for (; i < length; ++i) {
        if (upper[i] == 0) return false;
        if (UpperAscii(a[i]) != static_cast<char16_t>(static_cast<unsigned char>(upper[i]))) return false;
    }
    return upper[i] == 0;
}

bool IsDigitOneToNine(char16_t c) {
    // Windows also treats the superscript digits 1, 2 and 3 as port numbers.
    return (c >= u'1' && c <= u'9') || c == 0x00B9 || c == 0x00B2 || c == 0x00B3;
}

// A component names a device when its base (up to the first '.', without
// trailing spaces) is one of the reserved device names, whatever follows.
bool IsDeviceComponent(const char16_t* component, size_t length) {
    size_t base = 0;
    while (base < length && component[base] != u'.') ++base;
    while (base > 0 && component[base - 1] == u' ') --base;
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* device : kDevices)
        if (SameIgnoringCase(component, base, device)) return true;
    if (base == 4 && IsDigitOneToNine(component[3]) &&
        (SameIgnoringCase(component, 3, "COM") || SameIgnoringCase(component, 3, "LPT")))
        return true;
    return false;
}

// Only dots and spaces: "..", and the forms Windows trims down to it or to
// nothing ("...", ". ."). A single "." is harmless.
bool IsDotComponent(const char16_t* component, size_t length) {
    if (length == 1 && component[0] == u'.') return false;
    for (size_t i = 0; i < length; ++i)
        if (component[i] != u'.' && component[i] != u' ') return false;
    return true;
}

}  // namespace

int InflatePackage(const CWBlock& image, CWBlock& package) {
    const uint32_t imageLength = image.GetLength();
    const uint8_t* data = image.GetData();
    if (imageLength < 4 || !data) return -3;
    const uint32_t declared = LoadU32(data);
    const uint8_t* stream = data + 4;
    const uint32_t streamLength = imageLength - 4;
    if (!HasZlibHeader(stream, streamLength)) return -3;
    // An S that the stream could not produce even as padding-free data is a
    // damaged size field: refused before a byte is committed for it.
    if (declared > kMaxInflateRatio * streamLength) return -3;
    return InflateInto(stream, streamLength, declared, package);
}

PackageRecordReader::PackageRecordReader(const CWBlock& package)
    : m_data(package.GetData()), m_size(m_data ? package.GetLength() : 0), m_position(4) {
    // The leading u32 of the image is skipped, even a partial one: an image
    // of up to 4 bytes holds no record.
}

int PackageRecordReader::Next(PackageRecord& record) {
    std::memset(record.name, 0, sizeof record.name);
    record.nameBytes = 0;
    record.attributes = 0;
    record.content = nullptr;
    record.contentLength = 0;

    if (m_position >= m_size) return 0;

    const uint64_t start = m_position;
    const uint64_t size = m_size;
    uint64_t position = start;
    // A field that is only partly there is a fault, unless everything from
    // the record's start is zero: that is padding (trailing empty records).
    auto cut = [&]() -> int {
        if (AllZero(m_data + start, size - start)) {
            m_position = m_size;
            return 0;
        }
        return -2;
    };

    if (size - position < 4) return cut();
    const uint32_t nameBytes = LoadU32(m_data + position);
    position += 4;
    if (size - position < nameBytes) return cut();
    const uint32_t kept = nameBytes < kRecordNameUnits * 2 ? nameBytes : kRecordNameUnits * 2;
    const uint8_t* name = m_data + position;
    for (uint32_t i = 0; i < kept; i += 2) {
        const uint32_t high = (i + 1 < kept) ? name[i + 1] : 0;
        record.name[i / 2] = static_cast<char16_t>(name[i] | (high << 8));
    }
    position += nameBytes;

    uint32_t attributes = 0;
    const uint8_t* content = nullptr;
    uint32_t contentLength = 0;
    if (position < size) {
        if (size - position < 4) return cut();
        attributes = LoadU32(m_data + position);
        position += 4;
        if (position < size) {
            if (size - position < 4) return cut();
            contentLength = LoadU32(m_data + position);
            position += 4;
            if (size - position < contentLength) return cut();
            content = m_data + position;
            position += contentLength;
        }
    }

    record.nameBytes = nameBytes;
    record.attributes = attributes;
    record.content = content;
    record.contentLength = contentLength;
    m_position = static_cast<uint32_t>(position);
    return 1;
}

int PackageRecordReader::PercentDone() const {
    if (m_size == 0) return 100;
    return static_cast<int>(static_cast<int64_t>(m_position) * 100 / static_cast<int64_t>(m_size));
}

void NormalizePackageSeparators(char16_t* name) {
    if (!name || IsSeparator(name[0])) return;  // rooted: left for IsSafePackageName to refuse
    size_t out = 0;
    for (size_t in = 0; name[in] != 0; ++in) {
        if (!IsSeparator(name[in]))
            name[out++] = name[in];
        else if (name[out - 1] != u'\\')
            name[out++] = u'\\';
    }
    while (out > 0 && name[out - 1] == u'\\') --out;
    name[out] = 0;
}

bool PreparePackageName(char16_t* name) {
    NormalizePackageSeparators(name);
    return IsSafePackageName(name);
}

bool IsSafePackageName(const char16_t* name) {
    if (!name || name[0] == 0) return false;
    if (IsSeparator(name[0])) return false;  // rooted, or a "\\server" prefix
    size_t start = 0;
    for (size_t i = 0;; ++i) {
        const char16_t c = name[i];
        if (c == u':') return false;  // drive or alternate data stream
        if (c == 0 || IsSeparator(c)) {
            const size_t length = i - start;
            if (length == 0) return false;  // empty component ("a\\b", trailing "\")
            if (IsDotComponent(name + start, length)) return false;
            if (IsDeviceComponent(name + start, length)) return false;
            if (c == 0) return true;
            start = i + 1;
        }
    }
}
