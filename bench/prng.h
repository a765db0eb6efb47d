#pragma once
// A small deterministic pseudo-random generator (SplitMix64): the same seed
// gives the same sequence on every machine and compiler.
#include <cstdint>
#include <cstddef>

class BenchRandom {
public:
    explicit BenchRandom(uint64_t seed) : m_state(seed) {}

    uint64_t Next() {
        uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, bound); bound 0 gives 0.
    uint32_t Below(uint32_t bound) { return bound ? static_cast<uint32_t>((Next() >> 32) * bound >> 32) : 0; }
    // Uniform in [low, high].
    uint64_t Between(uint64_t low, uint64_t high) {
        return high <= low ? low : low + Next() % (high - low + 1);
    }
    template <typename T, size_t N>
    const T& Pick(const T (&items)[N]) {
        return items[Below(static_cast<uint32_t>(N))];
    }

private:
    uint64_t m_state;
};

// FNV-1a over a string, to derive per-file seeds from names.
inline uint64_t HashName(const char* text, uint64_t seed) {
    uint64_t h = 0xCBF29CE484222325ull ^ seed;
    for (; *text; ++text) {
        h ^= static_cast<unsigned char>(*text);
        h *= 0x100000001B3ull;
    }
    return h;
}
