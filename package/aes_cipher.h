#pragma once
// One AES context (FIPS-197, 128/192/256-bit keys) for one direction, with
// ECB (0), CBC (1) and one-bit CFB (2). Portable. The single-block operations
// and CFB run the 32-bit table form; the ECB and CBC buffer operations run
// on the engine that ActiveAesEngine() names (package/aes_engine.h).
#include <cstddef>
#include <cstdint>

class CWAESCipher {
public:
    enum Mode { kModeECB = 0, kModeCBC = 1, kModeCFB1 = 2 };
    enum Direction { kEncrypt = 0, kDecrypt = 1 };

    CWAESCipher();
    // 0, or -1 bad mode, -2 bad direction, -3 bad key-length code, -4 no key.
    int Init(int mode, int direction, const uint8_t* key, int keyLengthCode, const uint8_t* iv);
    // Bits processed (whole 128-bit blocks), 0 when nothing to do, or
    // -5 not ready, -6 an encryption context outside mode 2. in may equal out.
    int DecryptBuffer(const uint8_t* input, int bitLength, uint8_t* output);
    // The encrypting counterpart (used by the packaging tool): same codes,
    // -6 for a decryption context outside mode 2.
    int EncryptBuffer(const uint8_t* input, int bitLength, uint8_t* output);
    // The same over a count of whole 16-byte blocks, for buffers whose bit
    // length does not fit an int: 0 done (also for no blocks), or the
    // negative codes above. Each call starts again from the stored IV.
    int DecryptBlocks(const uint8_t* input, size_t blockCount, uint8_t* output);
    int EncryptBlocks(const uint8_t* input, size_t blockCount, uint8_t* output);
    void EncryptBlock(const uint8_t input[16], uint8_t output[16]) const;
    void DecryptBlock(const uint8_t input[16], uint8_t output[16]) const;

    int State() const { return m_state; }

private:
    int CheckReady(int forbiddenDirection) const;
    void DecryptCbc(const uint8_t* input, size_t blockCount, uint8_t* output) const;
    void EncryptCbc(const uint8_t* input, size_t blockCount, uint8_t* output) const;
    void Cfb1(const uint8_t* input, size_t blockCount, uint8_t* output, bool decrypt) const;

    int m_state;  // 1 not ready, 0 ready
    int m_mode;
    int m_direction;
    uint8_t m_iv[16];
    int m_rounds;
    uint32_t m_roundKeys[15][4];
};
