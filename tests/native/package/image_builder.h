#pragma once
// Builds package images, compressed images and records byte by byte for the
// tests, and moves them into blocks.
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/block.h"

class ImageBuilder {
public:
    ImageBuilder& U32(uint32_t value) {
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
        return *this;
    }
    ImageBuilder& Raw(const std::vector<uint8_t>& more) {
        bytes.insert(bytes.end(), more.begin(), more.end());
        return *this;
    }
    ImageBuilder& Utf16(const std::u16string& text) {
        for (char16_t c : text) {
            bytes.push_back(static_cast<uint8_t>(c & 0xFF));
            bytes.push_back(static_cast<uint8_t>(c >> 8));
        }
        return *this;
    }
    // A whole record: n, name, attributes, m, content.
    ImageBuilder& Record(const std::u16string& name, uint32_t attributes,
                         const std::vector<uint8_t>& content) {
        U32(static_cast<uint32_t>(name.size() * 2)).Utf16(name).U32(attributes);
        U32(static_cast<uint32_t>(content.size()));
        return Raw(content);
    }
    ImageBuilder& Zeros(size_t count) {
        bytes.insert(bytes.end(), count, 0);
        return *this;
    }
    std::vector<uint8_t> bytes;
};

inline void Fill(CWBlock& block, const std::vector<uint8_t>& bytes) {
    block.Free();
    if (!bytes.empty()) block.Append(bytes.data(), static_cast<uint32_t>(bytes.size()));
}

// u32 S then the zlib stream of data.
inline std::vector<uint8_t> CompressedImage(uint32_t declared, const std::vector<uint8_t>& data) {
    uLongf length = compressBound(data.size());
    std::vector<uint8_t> stream(length);
    compress2(stream.data(), &length, data.data(), data.size(), 9);
    stream.resize(length);
    ImageBuilder image;
    image.U32(declared).Raw(stream);
    return image.bytes;
}

inline std::vector<uint8_t> Pattern(size_t count, uint8_t seed) {
    std::vector<uint8_t> bytes(count);
    uint32_t x = seed * 2654435761u + 1;
    for (auto& b : bytes) {
        x = x * 1103515245u + 12345u;
        b = static_cast<uint8_t>(x >> 16);
    }
    return bytes;
}
