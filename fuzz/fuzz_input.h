#pragma once
// Small helpers shared by the fuzz targets.
#include <cstdint>
#include <cstdlib>

#include "foundation/block.h"

inline uint32_t FuzzU32(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

inline void FuzzFill(CWBlock& block, const uint8_t* data, size_t size) {
    if (size > 0) block.Append(data, static_cast<uint32_t>(size));
}

// A broken property: stop with a crash that libFuzzer records.
#define FUZZ_CHECK(condition)      \
    do {                           \
        if (!(condition)) abort(); \
    } while (0)
