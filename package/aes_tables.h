#pragma once
// The constant AES tables of FIPS-197, built at compile time. Every 32-bit
// word holds one state column in little-endian order: the first state row is
// the lowest byte. Table t of each group is table 0 rotated left by 8 * t bits.
#include <cstdint>

struct AesTables {
    uint8_t sbox[256];
    uint8_t invSbox[256];
    uint32_t rcon[10];
    uint32_t fwd[4][256];     // MixColumns column of S(x)
    uint32_t inv[4][256];     // InvMixColumns column of InvS(x)
    uint32_t keyInv[4][256];  // InvMixColumns column of x (round-key conversion)
};

extern const AesTables kAesTables;
