// Builds the AES tables from the field arithmetic of GF(2^8) with the
// polynomial x^8 + x^4 + x^3 + x + 1, entirely at compile time.
#include "package/aes_tables.h"

namespace {

constexpr uint8_t Xtime(uint8_t x) {
    return static_cast<uint8_t>((x << 1) ^ ((x & 0x80) ? 0x1b : 0x00));
}

constexpr uint8_t Mul(uint8_t a, uint8_t b) {
    uint8_t r = 0;
    while (b) {
        if (b & 1) r = static_cast<uint8_t>(r ^ a);
        a = Xtime(a);
        b = static_cast<uint8_t>(b >> 1);
    }
    return r;
}

constexpr uint8_t Rotl8(uint8_t x, int n) {
    return static_cast<uint8_t>((x << n) | (x >> (8 - n)));
}

constexpr uint32_t Rotl32(uint32_t w, int n) {
    return n == 0 ? w : (w << n) | (w >> (32 - n));
}

constexpr uint32_t Column(uint8_t r0, uint8_t r1, uint8_t r2, uint8_t r3) {
    return uint32_t(r0) | uint32_t(r1) << 8 | uint32_t(r2) << 16 | uint32_t(r3) << 24;
}

constexpr AesTables MakeTables() {
    AesTables t{};
    // Powers and logarithms of the generator 3 give the multiplicative inverse.
    uint8_t power[255] = {};
    uint8_t logarithm[256] = {};
    uint8_t x = 1;
    for (int i = 0; i < 255; ++i) {
        power[i] = x;
        logarithm[x] = static_cast<uint8_t>(i);
        x = Mul(x, 3);
    }
    for (int i = 0; i < 256; ++i) {
        const uint8_t inverse = i == 0 ? 0 : power[(255 - logarithm[i]) % 255];
        const uint8_t s = static_cast<uint8_t>(inverse ^ Rotl8(inverse, 1) ^ Rotl8(inverse, 2) ^
                                               Rotl8(inverse, 3) ^ Rotl8(inverse, 4) ^ 0x63);
        t.sbox[i] = s;
        t.invSbox[s] = static_cast<uint8_t>(i);
    }
    uint8_t rc = 1;
    for (int i = 0; i < 10; ++i) {
        t.rcon[i] = rc;
        rc = Xtime(rc);
    }
    for (int i = 0; i < 256; ++i) {
        const uint8_t s = t.sbox[i];
        const uint8_t si = t.invSbox[i];
        const uint8_t b = static_cast<uint8_t>(i);
        const uint32_t f = Column(Mul(s, 2), s, s, Mul(s, 3));
        const uint32_t d = Column(Mul(si, 14), Mul(si, 9), Mul(si, 13), Mul(si, 11));
        const uint32_t k = Column(Mul(b, 14), Mul(b, 9), Mul(b, 13), Mul(b, 11));
        for (int r = 0; r < 4; ++r) {
            t.fwd[r][i] = Rotl32(f, 8 * r);
            t.inv[r][i] = Rotl32(d, 8 * r);
            t.keyInv[r][i] = Rotl32(k, 8 * r);
        }
    }
    return t;
}

constexpr AesTables kBuiltTables = MakeTables();
static_assert(kBuiltTables.sbox[0x00] == 0x63 && kBuiltTables.sbox[0x53] == 0xed, "S-box");
static_assert(kBuiltTables.invSbox[0x63] == 0x00, "inverse S-box");
static_assert(kBuiltTables.fwd[0][0] == 0xa56363c6u, "forward table");
static_assert(kBuiltTables.rcon[9] == 0x36, "round constants");

}  // namespace

extern const AesTables kAesTables = kBuiltTables;
