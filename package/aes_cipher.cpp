// AES in the 32-bit table form: each full round computes an output column as
// the XOR of four table entries and a round-key word. CBC decryption works on
// several blocks at once (their block-cipher calls are independent), which
// keeps more table lookups in flight. Where the processor has the AES
// instructions, ECB and CBC buffers run on them instead (package/aes_ni.cpp);
// both give the same bytes from the same round keys.
#include "package/aes_cipher.h"

#include <cstring>

#include "package/aes_engine.h"
#include "package/aes_ni.h"
#include "package/aes_tables.h"

namespace {

const AesTables& T = kAesTables;

inline uint32_t Load32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

inline void Store32(uint8_t* p, uint32_t w) {
    p[0] = static_cast<uint8_t>(w);
    p[1] = static_cast<uint8_t>(w >> 8);
    p[2] = static_cast<uint8_t>(w >> 16);
    p[3] = static_cast<uint8_t>(w >> 24);
}

inline uint32_t B0(uint32_t w) {
    return w & 0xff;
}
inline uint32_t B1(uint32_t w) {
    return (w >> 8) & 0xff;
}
inline uint32_t B2(uint32_t w) {
    return (w >> 16) & 0xff;
}
inline uint32_t B3(uint32_t w) {
    return w >> 24;
}

inline uint32_t SubWord(uint32_t w) {
    return uint32_t(T.sbox[B0(w)]) | uint32_t(T.sbox[B1(w)]) << 8 | uint32_t(T.sbox[B2(w)]) << 16 |
           uint32_t(T.sbox[B3(w)]) << 24;
}

inline uint32_t InvMixColumn(uint32_t w) {
    return T.keyInv[0][B0(w)] ^ T.keyInv[1][B1(w)] ^ T.keyInv[2][B2(w)] ^ T.keyInv[3][B3(w)];
}

// Forward round on one column: ShiftRows takes row r from column c + r.
inline uint32_t FwdColumn(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t k) {
    return T.fwd[0][B0(a)] ^ T.fwd[1][B1(b)] ^ T.fwd[2][B2(c)] ^ T.fwd[3][B3(d)] ^ k;
}

inline uint32_t FwdLast(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t k) {
    return (uint32_t(T.sbox[B0(a)]) | uint32_t(T.sbox[B1(b)]) << 8 | uint32_t(T.sbox[B2(c)]) << 16 |
            uint32_t(T.sbox[B3(d)]) << 24) ^
           k;
}

// Inverse round on one column: InvShiftRows takes row r from column c - r.
inline uint32_t InvColumn(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t k) {
    return T.inv[0][B0(a)] ^ T.inv[1][B1(b)] ^ T.inv[2][B2(c)] ^ T.inv[3][B3(d)] ^ k;
}

inline uint32_t InvLast(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t k) {
    return (uint32_t(T.invSbox[B0(a)]) | uint32_t(T.invSbox[B1(b)]) << 8 | uint32_t(T.invSbox[B2(c)]) << 16 |
            uint32_t(T.invSbox[B3(d)]) << 24) ^
           k;
}

// One inverse round of a state held in four words, into four other words.
#define KVN_INV_ROUND(d, s, k)                        \
    d##0 = InvColumn(s##0, s##3, s##2, s##1, (k)[0]); \
    d##1 = InvColumn(s##1, s##0, s##3, s##2, (k)[1]); \
    d##2 = InvColumn(s##2, s##1, s##0, s##3, (k)[2]); \
    d##3 = InvColumn(s##3, s##2, s##1, s##0, (k)[3])

#define KVN_INV_LAST(d, s, k)                       \
    d[0] = InvLast(s##0, s##3, s##2, s##1, (k)[0]); \
    d[1] = InvLast(s##1, s##0, s##3, s##2, (k)[1]); \
    d[2] = InvLast(s##2, s##1, s##0, s##3, (k)[2]); \
    d[3] = InvLast(s##3, s##2, s##1, s##0, (k)[3])

#define KVN_ADD_KEY(d, s, k) \
    d##0 = (s)[0] ^ (k)[0];  \
    d##1 = (s)[1] ^ (k)[1];  \
    d##2 = (s)[2] ^ (k)[2];  \
    d##3 = (s)[3] ^ (k)[3]

// The equivalent inverse cipher on one state. The inner rounds alternate
// between two sets of words; their count (9, 11 or 13) is odd, so one round
// comes first and the rest go in pairs.
inline void DecryptState(const uint32_t (*rk)[4], int rounds, uint32_t s[4]) {
    uint32_t a0, a1, a2, a3, b0, b1, b2, b3;
    KVN_ADD_KEY(a, s, rk[rounds]);
    KVN_INV_ROUND(b, a, rk[rounds - 1]);
    for (int r = rounds - 2; r >= 1; r -= 2) {
        KVN_INV_ROUND(a, b, rk[r]);
        KVN_INV_ROUND(b, a, rk[r - 1]);
    }
    KVN_INV_LAST(s, b, rk[0]);
}

// The same on two independent states at once: the two dependency chains
// interleave, so the table lookups of one fill the latency of the other.
inline void DecryptState2(const uint32_t (*rk)[4], int rounds, uint32_t s[4], uint32_t t[4]) {
    uint32_t a0, a1, a2, a3, b0, b1, b2, b3;
    uint32_t c0, c1, c2, c3, d0, d1, d2, d3;
    KVN_ADD_KEY(a, s, rk[rounds]);
    KVN_ADD_KEY(c, t, rk[rounds]);
    KVN_INV_ROUND(b, a, rk[rounds - 1]);
    KVN_INV_ROUND(d, c, rk[rounds - 1]);
    for (int r = rounds - 2; r >= 1; r -= 2) {
        KVN_INV_ROUND(a, b, rk[r]);
        KVN_INV_ROUND(c, d, rk[r]);
        KVN_INV_ROUND(b, a, rk[r - 1]);
        KVN_INV_ROUND(d, c, rk[r - 1]);
    }
    KVN_INV_LAST(s, b, rk[0]);
    KVN_INV_LAST(t, d, rk[0]);
}

#undef KVN_INV_ROUND
#undef KVN_INV_LAST
#undef KVN_ADD_KEY

inline void EncryptState(const uint32_t (*rk)[4], int rounds, uint32_t s[4]) {
    uint32_t s0 = s[0] ^ rk[0][0], s1 = s[1] ^ rk[0][1], s2 = s[2] ^ rk[0][2], s3 = s[3] ^ rk[0][3];
    for (int r = 1; r < rounds; ++r) {
        const uint32_t* k = rk[r];
        const uint32_t t0 = FwdColumn(s0, s1, s2, s3, k[0]);
        const uint32_t t1 = FwdColumn(s1, s2, s3, s0, k[1]);
        const uint32_t t2 = FwdColumn(s2, s3, s0, s1, k[2]);
        const uint32_t t3 = FwdColumn(s3, s0, s1, s2, k[3]);
        s0 = t0;
        s1 = t1;
        s2 = t2;
        s3 = t3;
    }
    const uint32_t* k = rk[rounds];
    s[0] = FwdLast(s0, s1, s2, s3, k[0]);
    s[1] = FwdLast(s1, s2, s3, s0, k[1]);
    s[2] = FwdLast(s2, s3, s0, s1, k[2]);
    s[3] = FwdLast(s3, s0, s1, s2, k[3]);
}

inline void LoadBlock(const uint8_t* p, uint32_t s[4]) {
    for (int c = 0; c < 4; ++c) s[c] = Load32(p + 4 * c);
}

inline void StoreBlock(uint8_t* p, const uint32_t s[4]) {
    for (int c = 0; c < 4; ++c) Store32(p + 4 * c, s[c]);
}

}  // namespace

// Until an Init succeeds the round keys are zero and the round count is a
// valid one, so the block operations never index outside the key schedule.
CWAESCipher::CWAESCipher() : m_state(1), m_mode(0), m_direction(0), m_iv(), m_rounds(10), m_roundKeys() {}

int CWAESCipher::Init(int mode, int direction, const uint8_t* key, int keyLengthCode, const uint8_t* iv) {
    m_state = 1;
    if (mode < kModeECB || mode > kModeCFB1) return -1;
    m_mode = mode;
    if (direction != kEncrypt && direction != kDecrypt) return -2;
    m_direction = direction;
    if (iv)
        std::memcpy(m_iv, iv, sizeof m_iv);
    else
        std::memset(m_iv, 0, sizeof m_iv);
    if (keyLengthCode < 0 || keyLengthCode > 2) return -3;
    const int keyWords = 4 + 2 * keyLengthCode;  // Nk: 4, 6 or 8
    m_rounds = keyWords + 6;                     // 10, 12 or 14
    if (!key) return -4;

    // FIPS-197 KeyExpansion; key byte i lands in word i / 4, byte i % 4.
    const int total = 4 * (m_rounds + 1);
    uint32_t w[60];
    for (int i = 0; i < keyWords; ++i) w[i] = Load32(key + 4 * i);
    for (int i = keyWords; i < total; ++i) {
        uint32_t temp = w[i - 1];
        if (i % keyWords == 0)
            temp = SubWord((temp >> 8) | (temp << 24)) ^ T.rcon[i / keyWords - 1];
        else if (keyWords == 8 && i % keyWords == 4)
            temp = SubWord(temp);
        w[i] = w[i - keyWords] ^ temp;
    }
    for (int i = 0; i < total; ++i) m_roundKeys[i / 4][i % 4] = w[i];
    std::memset(w, 0, sizeof w);

    // The equivalent inverse cipher runs InvMixColumns over the inner round
    // keys. One-bit CFB only ever runs the forward cipher, so it keeps them.
    if (direction == kDecrypt && mode != kModeCFB1) {
        for (int r = 1; r < m_rounds; ++r)
            for (int c = 0; c < 4; ++c) m_roundKeys[r][c] = InvMixColumn(m_roundKeys[r][c]);
    }
    m_state = 0;
    return 0;
}

void CWAESCipher::EncryptBlock(const uint8_t input[16], uint8_t output[16]) const {
    uint32_t s[4];
    LoadBlock(input, s);
    EncryptState(m_roundKeys, m_rounds, s);
    StoreBlock(output, s);
}

void CWAESCipher::DecryptBlock(const uint8_t input[16], uint8_t output[16]) const {
    uint32_t s[4];
    LoadBlock(input, s);
    DecryptState(m_roundKeys, m_rounds, s);
    StoreBlock(output, s);
}

int CWAESCipher::CheckReady(int forbiddenDirection) const {
    if (m_state != 0) return -5;
    if (m_mode != kModeCFB1 && m_direction == forbiddenDirection) return -6;
    if (m_mode < kModeECB || m_mode > kModeCFB1) return -1;
    return 0;
}

int CWAESCipher::DecryptBuffer(const uint8_t* input, int bitLength, uint8_t* output) {
    const int status = CheckReady(kEncrypt);
    if (status != 0) return status;
    if (!input || !output || bitLength <= 0) return 0;
    const size_t blocks = static_cast<size_t>(bitLength / 128);
    DecryptBlocks(input, blocks, output);
    return static_cast<int>(blocks * 128);
}

int CWAESCipher::EncryptBuffer(const uint8_t* input, int bitLength, uint8_t* output) {
    const int status = CheckReady(kDecrypt);
    if (status != 0) return status;
    if (!input || !output || bitLength <= 0) return 0;
    const size_t blocks = static_cast<size_t>(bitLength / 128);
    EncryptBlocks(input, blocks, output);
    return static_cast<int>(blocks * 128);
}

int CWAESCipher::DecryptBlocks(const uint8_t* input, size_t blockCount, uint8_t* output) {
    const int status = CheckReady(kEncrypt);
    if (status != 0) return status;
    if (!input || !output || blockCount == 0) return 0;
#ifdef KVN_HAVE_AES_NI
    if (m_mode != kModeCFB1 && ActiveAesEngine() == AesEngine::kAesNi) {
        if (m_mode == kModeECB)
            AesNiDecryptEcb(m_roundKeys, m_rounds, input, blockCount, output);
        else
            AesNiDecryptCbc(m_roundKeys, m_rounds, m_iv, input, blockCount, output);
        return 0;
    }
#endif
    switch (m_mode) {
        case kModeECB:
            for (size_t i = 0; i < blockCount; ++i) DecryptBlock(input + 16 * i, output + 16 * i);
            break;
        case kModeCBC: DecryptCbc(input, blockCount, output); break;
        default: Cfb1(input, blockCount, output, true); break;
    }
    return 0;
}

int CWAESCipher::EncryptBlocks(const uint8_t* input, size_t blockCount, uint8_t* output) {
    const int status = CheckReady(kDecrypt);
    if (status != 0) return status;
    if (!input || !output || blockCount == 0) return 0;
#ifdef KVN_HAVE_AES_NI
    if (m_mode != kModeCFB1 && ActiveAesEngine() == AesEngine::kAesNi) {
        if (m_mode == kModeECB)
            AesNiEncryptEcb(m_roundKeys, m_rounds, input, blockCount, output);
        else
            AesNiEncryptCbc(m_roundKeys, m_rounds, m_iv, input, blockCount, output);
        return 0;
    }
#endif
    switch (m_mode) {
        case kModeECB:
            for (size_t i = 0; i < blockCount; ++i) EncryptBlock(input + 16 * i, output + 16 * i);
            break;
        case kModeCBC: EncryptCbc(input, blockCount, output); break;
        default: Cfb1(input, blockCount, output, false); break;
    }
    return 0;
}

// CBC decryption two blocks at a time. Both ciphertext blocks are read before
// either output block is written and the chaining value is a copy, so input
// may equal output.
void CWAESCipher::DecryptCbc(const uint8_t* input, size_t blockCount, uint8_t* output) const {
    uint32_t chain[4];
    LoadBlock(m_iv, chain);
    size_t left = blockCount;
    for (; left >= 2; left -= 2) {
        uint32_t c0[4], c1[4], p0[4], p1[4];
        LoadBlock(input, c0);
        LoadBlock(input + 16, c1);
        for (int c = 0; c < 4; ++c) {
            p0[c] = c0[c];
            p1[c] = c1[c];
        }
        DecryptState2(m_roundKeys, m_rounds, p0, p1);
        for (int c = 0; c < 4; ++c) {
            p0[c] ^= chain[c];
            p1[c] ^= c0[c];
            chain[c] = c1[c];
        }
        StoreBlock(output, p0);
        StoreBlock(output + 16, p1);
        input += 32;
        output += 32;
    }
    if (left > 0) {
        uint32_t c0[4], p0[4];
        LoadBlock(input, c0);
        for (int c = 0; c < 4; ++c) p0[c] = c0[c];
        DecryptState(m_roundKeys, m_rounds, p0);
        for (int c = 0; c < 4; ++c) p0[c] ^= chain[c];
        StoreBlock(output, p0);
    }
}

void CWAESCipher::EncryptCbc(const uint8_t* input, size_t blockCount, uint8_t* output) const {
    uint32_t chain[4];
    LoadBlock(m_iv, chain);
    for (size_t i = 0; i < blockCount; ++i) {
        uint32_t s[4];
        LoadBlock(input + 16 * i, s);
        for (int c = 0; c < 4; ++c) s[c] ^= chain[c];
        EncryptState(m_roundKeys, m_rounds, s);
        StoreBlock(output + 16 * i, s);
        for (int c = 0; c < 4; ++c) chain[c] = s[c];
    }
}

// One-bit CFB: per bit, the forward cipher of a 128-bit shift register gives
// one key-stream bit (its most significant bit); the ciphertext bit is then
// shifted in. Bits run from the most significant bit of each byte. The shift
// register starts from the stored IV on every call.
void CWAESCipher::Cfb1(const uint8_t* input, size_t blockCount, uint8_t* output, bool decrypt) const {
    uint8_t reg[16];
    std::memcpy(reg, m_iv, sizeof reg);
    const size_t bytes = blockCount * 16;
    for (size_t i = 0; i < bytes; ++i) {
        const uint8_t in = input[i];
        uint8_t out = 0;
        for (int bit = 7; bit >= 0; --bit) {
            uint8_t stream[16];
            EncryptBlock(reg, stream);
            const uint8_t inBit = static_cast<uint8_t>((in >> bit) & 1);
            const uint8_t outBit = static_cast<uint8_t>(inBit ^ (stream[0] >> 7));
            out = static_cast<uint8_t>(out | (outBit << bit));
            const uint8_t cipherBit = decrypt ? inBit : outBit;
            for (int j = 0; j < 15; ++j) reg[j] = static_cast<uint8_t>((reg[j] << 1) | (reg[j + 1] >> 7));
            reg[15] = static_cast<uint8_t>((reg[15] << 1) | cipherBit);
        }
        output[i] = out;
    }
}
