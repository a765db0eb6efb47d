#pragma once
// A 64-bit FNV-1a digest of a buffer, to check that two programs produced
// the same bytes without passing the bytes around.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

inline std::string Digest(const uint8_t* data, size_t size) {
    uint64_t h = 0xCBF29CE484222325ull;
    for (size_t i = 0; i < size; ++i) {
        h ^= data[i];
        h *= 0x100000001B3ull;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
    return text;
}
