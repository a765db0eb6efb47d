// Two AES-256-CBC layers keyed from 64 bytes of key material (the imported
// key field, zero-extended): layer 0 from bytes 0-31, layer 1 from 32-63.
#include "package/aes_key.h"

#include <cstring>
#include <new>

namespace {

constexpr int kLayers = 2;
constexpr uint32_t kMaterialSize = 64;
constexpr uint32_t kLayerKeySize = 32;
constexpr uint32_t kIvSize = 16;

// Overwrites key bytes in a way the compiler may not drop as a dead store.
void Wipe(void* bytes, size_t count) {
    volatile uint8_t* p = static_cast<volatile uint8_t*>(bytes);
    while (count--) *p++ = 0;
}

// One length-prefixed field of the blob. A prefix that is cut short reads as
// length 0; a field whose bytes run past the blob yields only the bytes there.
struct Field {
    const uint8_t* bytes;
    uint32_t length;
};

Field ReadField(const uint8_t* data, uint32_t size, uint32_t& cursor) {
    Field field{nullptr, 0};
    if (!data || cursor > size || size - cursor < 4) {
        cursor = size;
        return field;
    }
    const uint8_t* p = data + cursor;
    const uint32_t declared =
        uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    cursor += 4;
    const uint32_t available = size - cursor;
    field.length = declared < available ? declared : available;
    field.bytes = data + cursor;
    cursor += field.length;
    return field;
}

}  // namespace

CWCryptAESKey::CWCryptAESKey()
    : m_encrypt{nullptr, nullptr}, m_decrypt{nullptr, nullptr}, m_keyed(0), m_iv(), m_reserved(1) {}

CWCryptAESKey::~CWCryptAESKey() {
    Clear();
    m_keyCopy.Free();
}

int CWCryptAESKey::ImportKeyBlob(const CWBlock& blob) {
    const uint8_t* data = blob.GetData();
    const uint32_t size = data ? blob.GetLength() : 0;
    // The u32 format value at offset 0 is not tested: skip it.
    uint32_t cursor = size < 4 ? size : 4;
    const Field key = ReadField(data, size, cursor);
    const Field iv = ReadField(data, size, cursor);

    CWBlock material;
    if (key.length > 0) material.Append(key.bytes, key.length);
    uint8_t ivBytes[kIvSize] = {};
    if (iv.length > 0) std::memcpy(ivBytes, iv.bytes, iv.length < kIvSize ? iv.length : kIvSize);

    const int result = SetKey(material, iv.length > 0 ? ivBytes : nullptr);
    if (material.GetData()) Wipe(material.GetData(), material.GetLength());
    Wipe(ivBytes, sizeof ivBytes);
    return result;
}

int CWCryptAESKey::SetKey(const CWBlock& keyMaterial, const uint8_t* iv) {
    Clear();
    uint8_t material[kMaterialSize] = {};
    const uint32_t have = keyMaterial.GetData() ? keyMaterial.GetLength() : 0;
    if (have > 0) std::memcpy(material, keyMaterial.GetData(), have < kMaterialSize ? have : kMaterialSize);
    if (iv) std::memcpy(m_iv, iv, kIvSize);

    for (int layer = 0; layer < kLayers; ++layer) {
        const uint8_t* layerKey = material + layer * kLayerKeySize;
        // Without memory for a context the object stays unkeyed: no
        // exception leaves SetKey, and no layer half runs.
        m_encrypt[layer] = new (std::nothrow) CWAESCipher();
        m_decrypt[layer] = new (std::nothrow) CWAESCipher();
        if (!m_encrypt[layer] || !m_decrypt[layer]) {
            Wipe(material, sizeof material);
            Clear();
            return -1;
        }
        m_encrypt[layer]->Init(CWAESCipher::kModeCBC, CWAESCipher::kEncrypt, layerKey, 2, m_iv);
        m_decrypt[layer]->Init(CWAESCipher::kModeCBC, CWAESCipher::kDecrypt, layerKey, 2, m_iv);
    }
    Wipe(material, sizeof material);

    m_keyed = 1;
    m_keyCopy.CopyFrom(keyMaterial);
    return 0;
}

int CWCryptAESKey::Decrypt(CWBlock& block) {
    uint8_t* data = block.GetData();
    const uint32_t n = block.GetLength();
    if (n == 0 || !data) return 0;
    if (n < 4) return -2;

    const size_t blocks = n / 16;
    for (int layer = kLayers - 1; layer >= 0; --layer) {
        if (m_decrypt[layer]) m_decrypt[layer]->DecryptBlocks(data, blocks, data);
    }
    return CutToTrailer(block);
}

int CWCryptAESKey::DecryptCopy(const void* source, uint32_t size, CWBlock& block) {
    if (!source || size == 0) {
        if (block.GetData()) block.SetSize(0);
        return 0;
    }
    if (!block.SetSize(size) || block.GetLength() != size) return -3;
    uint8_t* data = block.GetData();
    const uint8_t* bytes = static_cast<const uint8_t*>(source);
    if (size < 4) {
        std::memcpy(data, bytes, size);
        return -2;
    }
    const size_t blocks = size / 16;
    const size_t whole = blocks * 16;
    if (m_decrypt[1]) {
        m_decrypt[1]->DecryptBlocks(bytes, blocks, data);
        std::memcpy(data + whole, bytes + whole, size - whole);
    } else {
        std::memcpy(data, bytes, size);
    }
    if (m_decrypt[0]) m_decrypt[0]->DecryptBlocks(data, blocks, data);
    return CutToTrailer(block);
}

int CWCryptAESKey::CutToTrailer(CWBlock& block) {
    const uint32_t n = block.GetLength();
    const uint8_t* trailer = block.GetData() + n - 4;
    const uint32_t plain = uint32_t(trailer[0]) | uint32_t(trailer[1]) << 8 | uint32_t(trailer[2]) << 16 |
                           uint32_t(trailer[3]) << 24;
    // A container always holds its image, so a trailer that claims more bytes
    // than the block has is damage: the block is emptied (what follows fails
    // as on any damaged payload) instead of being grown by up to 4 GiB.
    if (plain > n) {
        block.SetSize(0);
        return -2;
    }
    block.SetSize(plain);
    return 0;
}

int CWCryptAESKey::Encrypt(CWBlock& block) {
    if (!m_keyed) return -1;
    uint8_t* data = block.GetData();
    const uint32_t n = block.GetLength();
    if (n == 0 || !data) return 0;
    const size_t blocks = n / 16;
    for (int layer = 0; layer < kLayers; ++layer) {
        if (m_encrypt[layer]) m_encrypt[layer]->EncryptBlocks(data, blocks, data);
    }
    return 0;
}

void CWCryptAESKey::Clear() {
    for (int layer = 0; layer < kLayers; ++layer) {
        if (m_encrypt[layer]) Wipe(m_encrypt[layer], sizeof(CWAESCipher));
        if (m_decrypt[layer]) Wipe(m_decrypt[layer], sizeof(CWAESCipher));
        delete m_encrypt[layer];
        delete m_decrypt[layer];
        m_encrypt[layer] = nullptr;
        m_decrypt[layer] = nullptr;
    }
    Wipe(m_iv, sizeof m_iv);
    if (m_keyCopy.GetData()) Wipe(m_keyCopy.GetData(), m_keyCopy.GetLength());
    m_keyCopy.SetSize(0);
    m_keyed = 0;
}
