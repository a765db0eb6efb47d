// AES-NI block loops. Blocks whose cipher calls are independent (ECB both
// ways, CBC decryption) run several at a time, so that the AES unit works on
// one block while the rounds of the others are still in flight: eight on
// x86-64 (sixteen vector registers), four on x86 (eight).
#include "package/aes_ni.h"

#ifdef KVN_HAVE_AES_NI
#include <emmintrin.h>
#include <wmmintrin.h>

// The instructions are enabled per function, so the rest of the program
// keeps the build's baseline. 32-bit Windows promises a stack aligned to
// 4 bytes only; the entry points realign it for their 16-byte locals.
#if defined(__i386__)
#define KVN_AES_NI_ENTRY __attribute__((target("aes,sse2"), force_align_arg_pointer))
#else
#define KVN_AES_NI_ENTRY __attribute__((target("aes,sse2")))
#endif
#define KVN_AES_NI_INLINE __attribute__((target("aes,sse2"), always_inline)) inline

namespace {

#if defined(__x86_64__)
constexpr size_t kLanes = 8;
#else
constexpr size_t kLanes = 4;
#endif

struct RoundKeys {
    __m128i k[15];
};

// A round-key row of four little-endian words is the 16 key bytes in state
// order, as the instructions take them.
KVN_AES_NI_INLINE void LoadKeys(const uint32_t (*roundKeys)[4], int rounds, RoundKeys& keys) {
    for (int r = 0; r <= rounds; ++r)
        keys.k[r] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(roundKeys[r]));
}

KVN_AES_NI_INLINE __m128i Load(const uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

KVN_AES_NI_INLINE void Store(uint8_t* p, __m128i v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

KVN_AES_NI_INLINE __m128i EncryptOne(const RoundKeys& keys, int rounds, __m128i x) {
    x = _mm_xor_si128(x, keys.k[0]);
    for (int r = 1; r < rounds; ++r) x = _mm_aesenc_si128(x, keys.k[r]);
    return _mm_aesenclast_si128(x, keys.k[rounds]);
}

KVN_AES_NI_INLINE __m128i DecryptOne(const RoundKeys& keys, int rounds, __m128i x) {
    x = _mm_xor_si128(x, keys.k[rounds]);
    for (int r = rounds - 1; r >= 1; --r) x = _mm_aesdec_si128(x, keys.k[r]);
    return _mm_aesdeclast_si128(x, keys.k[0]);
}

KVN_AES_NI_INLINE void EncryptLanes(const RoundKeys& keys, int rounds, __m128i x[kLanes]) {
#pragma GCC unroll 8
    for (size_t j = 0; j < kLanes; ++j) x[j] = _mm_xor_si128(x[j], keys.k[0]);
    for (int r = 1; r < rounds; ++r) {
        const __m128i k = keys.k[r];
#pragma GCC unroll 8
        for (size_t j = 0; j < kLanes; ++j) x[j] = _mm_aesenc_si128(x[j], k);
    }
#pragma GCC unroll 8
    for (size_t j = 0; j < kLanes; ++j) x[j] = _mm_aesenclast_si128(x[j], keys.k[rounds]);
}

KVN_AES_NI_INLINE void DecryptLanes(const RoundKeys& keys, int rounds, __m128i x[kLanes]) {
#pragma GCC unroll 8
    for (size_t j = 0; j < kLanes; ++j) x[j] = _mm_xor_si128(x[j], keys.k[rounds]);
    for (int r = rounds - 1; r >= 1; --r) {
        const __m128i k = keys.k[r];
#pragma GCC unroll 8
        for (size_t j = 0; j < kLanes; ++j) x[j] = _mm_aesdec_si128(x[j], k);
    }
#pragma GCC unroll 8
    for (size_t j = 0; j < kLanes; ++j) x[j] = _mm_aesdeclast_si128(x[j], keys.k[0]);
}

}  // namespace

KVN_AES_NI_ENTRY void AesNiEncryptEcb(const uint32_t (*roundKeys)[4], int rounds, const uint8_t* input,
                                      size_t blockCount, uint8_t* output) {
    RoundKeys keys;
    LoadKeys(roundKeys, rounds, keys);
    size_t i = 0;
    for (; blockCount - i >= kLanes; i += kLanes) {
        __m128i x[kLanes];
#pragma GCC unroll 8
        for (size_t j = 0; j < kLanes; ++j) x[j] = Load(input + 16 * (i + j));
        EncryptLanes(keys, rounds, x);
#pragma GCC unroll 8
        for (size_t j = 0; j < kLanes; ++j) Store(output + 16 * (i + j), x[j]);
    }
    for (; i < blockCount; ++i) Store(output + 16 * i, EncryptOne(keys, rounds, Load(input + 16 * i)));
}

KVN_AES_NI_ENTRY void AesNiDecryptEcb(const uint32_t (*roundKeys)[4], int rounds, const uint8_t* input,
                                      size_t blockCount, uint8_t* output) {
    RoundKeys keys;
    LoadKeys(roundKeys, rounds, keys);
    size_t i = 0;
    for (; blockCount - i >= kLanes; i += kLanes) {
        __m128i x[kLanes];
#pragma GCC unroll 8
        for (size_t j = 0; j < kLanes; ++j) x[j] = Load(input + 16 * (i + j));
        DecryptLanes(keys, rounds, x);
#pragma GCC unroll 8
        for (size_t j = 0; j < kLanes; ++j) Store(output + 16 * (i + j), x[j]);
    }
    for (; i < blockCount; ++i) Store(output + 16 * i, DecryptOne(keys, rounds, Load(input + 16 * i)));
}

// Each block's input is the previous output: one block at a time.
KVN_AES_NI_ENTRY void AesNiEncryptCbc(const uint32_t (*roundKeys)[4], int rounds, const uint8_t iv[16],
                                      const uint8_t* input, size_t blockCount, uint8_t* output) {
    RoundKeys keys;
    LoadKeys(roundKeys, rounds, keys);
    __m128i chain = Load(iv);
    for (size_t i = 0; i < blockCount; ++i) {
        chain = EncryptOne(keys, rounds, _mm_xor_si128(Load(input + 16 * i), chain));
        Store(output + 16 * i, chain);
    }
}

// Every ciphertext block of a group is read before any output block of it is
// written, and the chaining value is kept in a register, so input may equal
// output.
KVN_AES_NI_ENTRY void AesNiDecryptCbc(const uint32_t (*roundKeys)[4], int rounds, const uint8_t iv[16],
                                      const uint8_t* input, size_t blockCount, uint8_t* output) {
    RoundKeys keys;
    LoadKeys(roundKeys, rounds, keys);
    __m128i chain = Load(iv);
    size_t i = 0;
    for (; blockCount - i >= kLanes; i += kLanes) {
        __m128i cipher[kLanes], x[kLanes];
#pragma GCC unroll 8
        for (size_t j = 0; j < kLanes; ++j) x[j] = cipher[j] = Load(input + 16 * (i + j));
        DecryptLanes(keys, rounds, x);
        x[0] = _mm_xor_si128(x[0], chain);
#pragma GCC unroll 8
        for (size_t j = 1; j < kLanes; ++j) x[j] = _mm_xor_si128(x[j], cipher[j - 1]);
        chain = cipher[kLanes - 1];
#pragma GCC unroll 8
        for (size_t j = 0; j < kLanes; ++j) Store(output + 16 * (i + j), x[j]);
    }
    for (; i < blockCount; ++i) {
        const __m128i cipher = Load(input + 16 * i);
        Store(output + 16 * i, _mm_xor_si128(DecryptOne(keys, rounds, cipher), chain));
        chain = cipher;
    }
}
#endif
