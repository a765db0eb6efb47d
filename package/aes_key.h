#pragma once
// Two-layer AES-256-CBC key object: imports a key blob and decrypts a block
// in place through layer 1 then layer 0, then cuts it to its trailer length.
#include <cstdint>
#include "foundation/block.h"
#include "package/aes_cipher.h"

class CWCryptAESKey {
public:
    CWCryptAESKey();
    virtual ~CWCryptAESKey();
    CWCryptAESKey(const CWCryptAESKey&) = delete;
    CWCryptAESKey& operator=(const CWCryptAESKey&) = delete;

    int ImportKeyBlob(const CWBlock& blob);  // SetKey's result
    // 0; -1 when a cipher context cannot be allocated (the object is then unkeyed).
    int SetKey(const CWBlock& keyMaterial, const uint8_t* iv);
    // 0; -2 for a block shorter than 4 bytes (left unchanged) and for a
    // trailer larger than the block (the block is emptied).
    int Decrypt(CWBlock& block);
    // The same over a copy of size bytes at source, made in the same pass:
    // layer 1 reads the source and writes the block (its old content
    // replaced), layer 0 runs in place. The block ends as Append of the bytes
    // and Decrypt would leave it. -3 when the block cannot be sized (it is
    // then unchanged).
    int DecryptCopy(const void* source, uint32_t size, CWBlock& block);
    // Encrypts every whole 16-byte block of the used bytes in place, layer 0
    // then layer 1 (CBC, the same IV). 0, or -1 when not keyed.
    int Encrypt(CWBlock& block);
    void Clear();

    int IsKeyed() const { return m_keyed; }

private:
    static int CutToTrailer(CWBlock& block);

    CWAESCipher* m_encrypt[2];
    CWAESCipher* m_decrypt[2];
    int m_keyed;
    uint8_t m_iv[16];
    CWBlock m_keyCopy;
    [[maybe_unused]] uint32_t m_reserved;  // 1 from construction, read by nothing
};
