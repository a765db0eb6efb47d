// The two-layer key object: blob import, layer keys and IV, in-place
// decryption with the trailer cut, encryption, and the setup's own key blob.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "aes_test_util.h"
#include "package/aes_key.h"
#include "package/key_blob.h"

namespace {

Bytes Blob(const Bytes& key, const Bytes& iv) {
    Bytes b;
    PutU32(b, 1);
    PutU32(b, static_cast<uint32_t>(key.size()));
    b.insert(b.end(), key.begin(), key.end());
    PutU32(b, static_cast<uint32_t>(iv.size()));
    b.insert(b.end(), iv.begin(), iv.end());
    return b;
}

void Import(CWCryptAESKey& key, const Bytes& blob) {
    CWBlock block;
    Fill(block, blob);
    EXPECT_EQ(0, key.ImportKeyBlob(block));
}

// Reference: layer 0 then layer 1 in CBC with the same IV, each layer keyed
// with 32 bytes of the zero-extended 64-byte material.
Bytes EncryptLayers(const Bytes& material, const Bytes& iv, Bytes data) {
    Bytes full(64, 0), ivFull(16, 0);
    std::copy_n(material.begin(), std::min<size_t>(material.size(), 64), full.begin());
    std::copy_n(iv.begin(), std::min<size_t>(iv.size(), 16), ivFull.begin());
    for (int layer = 0; layer < 2; ++layer) {
        CWAESCipher c;
        c.Init(1, 0, full.data() + 32 * layer, 2, ivFull.data());
        c.EncryptBlocks(data.data(), data.size() / 16, data.data());
    }
    return data;
}

// A container: the plain bytes padded to whole 32-byte units, encrypted,
// followed by the u32 plain length.
Bytes Container(const Bytes& material, const Bytes& iv, const Bytes& plain, uint32_t trailer) {
    Bytes padded = plain;
    padded.resize((plain.size() + 31) / 32 * 32, 0);
    Bytes c = EncryptLayers(material, iv, padded);
    PutU32(c, trailer);
    return c;
}

Bytes DecryptWith(CWCryptAESKey& key, const Bytes& bytes, int expected = 0) {
    CWBlock block;
    Fill(block, bytes);
    EXPECT_EQ(expected, key.Decrypt(block));
    return Contents(block);
}

TEST(AesKeyDecrypt, ContainerOf32kPlus4CutsToTrailer) {
    const Bytes material = RandomBytes(16, 4), iv = RandomBytes(16, 5);
    CWCryptAESKey key;
    Import(key, Blob(material, iv));
    for (uint32_t k : {1u, 2u, 3u, 64u}) {
        const Bytes plain = RandomBytes(32 * k - 5, k);
        EXPECT_EQ(plain,
                  DecryptWith(key, Container(material, iv, plain, static_cast<uint32_t>(plain.size()))))
            << k;
    }
    // A 1 MiB container goes through the same path.
    const Bytes big = RandomBytes(1 << 20, 6);
    EXPECT_EQ(big, DecryptWith(key, Container(material, iv, big, 1u << 20)));
}

TEST(AesKeyDecrypt, WholeBlocksOnlyAndTrailerFromLastFourBytes) {
    const Bytes material = RandomBytes(40, 7), iv = RandomBytes(16, 8);
    CWCryptAESKey key;
    Import(key, Blob(material, iv));
    // 16 * 3 + 9 bytes: the last 9 are never decrypted; L = 57 keeps the size.
    const Bytes plain = RandomBytes(48, 9);
    Bytes data = EncryptLayers(material, iv, plain);
    const Bytes rest = {0xa1, 0xa2, 0xa3, 0xa4, 0xa5, 57, 0, 0, 0};
    data.insert(data.end(), rest.begin(), rest.end());
    Bytes expected = plain;
    expected.insert(expected.end(), rest.begin(), rest.end());
    EXPECT_EQ(expected, DecryptWith(key, data));
}

// A trailer beyond the block is damage: the block is emptied, never grown.
TEST(AesKeyDecrypt, TrailerLargerThanTheBlockEmptiesIt) {
    CWCryptAESKey key;  // never keyed: only the cut runs
    for (uint32_t trailer : {25u, 60u, 0x10000000u, 0xFFFFFFFFu}) {
        CWBlock block;
        Fill(block, RandomBytes(200, 10));
        Bytes data(20, 0x33);
        PutU32(data, trailer);
        Fill(block, data);  // the region still holds the 200 old bytes past 24
        const uint32_t capacity = block.GetCapacity();
        EXPECT_EQ(-2, key.Decrypt(block)) << trailer;
        EXPECT_EQ(0u, block.GetLength()) << trailer;
        EXPECT_EQ(capacity, block.GetCapacity()) << "no new region for " << trailer;
    }
    // A trailer equal to the block's length keeps every byte.
    Bytes data(20, 0x44);
    PutU32(data, 24);
    EXPECT_EQ(data, DecryptWith(key, data));
}

// The copy made in the decryption's first pass leaves the block as a copy
// followed by Decrypt does, for every length class, keyed or not, and into a
// block that held other bytes; the source is only read.
TEST(AesKeyDecrypt, DecryptCopyEqualsCopyThenDecrypt) {
    const Bytes material = RandomBytes(16, 50), iv = RandomBytes(16, 51);
    const Bytes plain = RandomBytes(300, 52);
    CWCryptAESKey keyed, unkeyed;
    Import(keyed, Blob(material, iv));
    for (CWCryptAESKey* key : {&keyed, &unkeyed}) {
        for (size_t n : {0, 1, 3, 4, 25, 36, 57, 100, 132, 228}) {
            for (uint32_t trailer : {static_cast<uint32_t>(n / 3), static_cast<uint32_t>(n), 0xFFFFFFFFu}) {
                // 228 = 32 * 7 + 4: a real container of 200 plain bytes.
                Bytes source = n == 228
                                   ? Container(material, iv, Bytes(plain.begin(), plain.begin() + 200), 200)
                                   : RandomBytes(n, static_cast<uint32_t>(n));
                if (n >= 4 && n != 228)
                    for (int i = 0; i < 4; ++i) source[n - 4 + i] = static_cast<uint8_t>(trailer >> (8 * i));
                const Bytes original = source;
                CWBlock copied;
                Fill(copied, source);
                const int expected = key->Decrypt(copied);
                CWBlock target;
                Fill(target, RandomBytes(500, 53));  // old content, larger than any source
                EXPECT_EQ(expected, key->DecryptCopy(source.empty() ? nullptr : source.data(),
                                                     static_cast<uint32_t>(n), target))
                    << n << " " << trailer;
                EXPECT_EQ(Contents(copied), Contents(target)) << n << " " << trailer;
                EXPECT_EQ(original, source);
            }
        }
    }
    // A real container comes back as its plain bytes.
    CWBlock target;
    const Bytes container = Container(material, iv, plain, 300);
    EXPECT_EQ(0, keyed.DecryptCopy(container.data(), static_cast<uint32_t>(container.size()), target));
    EXPECT_EQ(plain, Contents(target));
}

TEST(AesKeyDecrypt, UnkeyedEmptyAndShortBlocks) {
    CWCryptAESKey key;
    Bytes data = RandomBytes(64, 11);
    PutU32(data, 10);
    EXPECT_EQ(Bytes(data.begin(), data.begin() + 10), DecryptWith(key, data));
    CWBlock empty;
    EXPECT_EQ(0, key.Decrypt(empty));
    EXPECT_EQ(nullptr, empty.GetData());

    Import(key, Blob(RandomBytes(16, 12), RandomBytes(16, 13)));
    EXPECT_EQ(Bytes(), DecryptWith(key, Bytes()));
    for (size_t n = 1; n < 4; ++n) {
        const Bytes shortBlock(n, 0x77);
        EXPECT_EQ(shortBlock, DecryptWith(key, shortBlock, -2)) << n;
    }
    // After Clear the object is unkeyed again: only the cut.
    key.Clear();
    EXPECT_EQ(0, key.IsKeyed());
    EXPECT_EQ(Bytes(data.begin(), data.begin() + 10), DecryptWith(key, data));
}

TEST(AesKeyImport, FieldLengthsAndZeroExtension) {
    const Bytes plain = RandomBytes(96, 14);
    const struct {
        Bytes key;
        Bytes iv;
    } cases[] = {
        {RandomBytes(16, 15), Bytes()},              // empty IV field: all-zero IV
        {RandomBytes(16, 16), RandomBytes(5, 17)},   // short IV: zero-extended
        {RandomBytes(16, 18), RandomBytes(24, 19)},  // long IV: first 16 bytes
        {Bytes(), RandomBytes(16, 20)},              // empty key field: all-zero material
        {RandomBytes(64, 21), RandomBytes(16, 22)},
    };
    for (const auto& c : cases) {
        CWCryptAESKey key;
        Import(key, Blob(c.key, c.iv));
        EXPECT_EQ(1, key.IsKeyed());
        EXPECT_EQ(plain, DecryptWith(key, Container(c.key, c.iv, plain, 96)))
            << c.key.size() << "/" << c.iv.size();
    }
    // Key bytes past 64 play no part.
    Bytes longKey = RandomBytes(80, 23);
    const Bytes container = Container(longKey, Bytes(), plain, 96);
    longKey[70] ^= 0xff;
    CWCryptAESKey key;
    Import(key, Blob(longKey, Bytes()));
    EXPECT_EQ(plain, DecryptWith(key, container));
}

// Truncated and lying blobs: each must import without reading outside the
// used bytes, and the bytes that are missing count as absent.
TEST(AesKeyImport, TruncatedAndLyingBlobsStayInside) {
    const Bytes material = RandomBytes(16, 24), iv = RandomBytes(16, 25);
    const Bytes full = Blob(material, iv);
    for (size_t n = 0; n <= full.size(); ++n) {
        CWCryptAESKey key;
        Import(key, Bytes(full.begin(), full.begin() + n));
        EXPECT_EQ(1, key.IsKeyed()) << n;
    }
    // Cut inside the key field: the region holds the rest, but only the 12
    // used key bytes count; there is no IV field.
    CWBlock block;
    Fill(block, full);
    block.SetSize(20);
    CWCryptAESKey cut;
    EXPECT_EQ(0, cut.ImportKeyBlob(block));
    const Bytes plain = RandomBytes(32, 26);
    EXPECT_EQ(plain, DecryptWith(
                         cut, Container(Bytes(material.begin(), material.begin() + 12), Bytes(), plain, 32)));

    for (uint32_t lie : {0xffffffffu, 0x80000000u, 1000u, 29u}) {
        Bytes b = full;
        std::memcpy(b.data() + 4, &lie, 4);  // key length
        CWCryptAESKey k1;
        Import(k1, b);
        b = full;
        std::memcpy(b.data() + 24, &lie, 4);  // IV length
        CWCryptAESKey k2;
        Import(k2, b);
        EXPECT_EQ(plain, DecryptWith(k2, Container(material, iv, plain, 32))) << lie;
    }
}

TEST(AesKeyEncrypt, RoundTripsRandomSizesAndAppliesLayerZeroFirst) {
    const Bytes material = RandomBytes(16, 27), iv = RandomBytes(16, 28);
    CWCryptAESKey key;
    CWBlock block;
    Fill(block, Bytes(32, 1));
    EXPECT_EQ(-1, key.Encrypt(block));
    EXPECT_EQ(Bytes(32, 1), Contents(block));
    Import(key, Blob(material, iv));

    std::mt19937 gen(29);
    for (int i = 0; i < 20; ++i) {
        const Bytes plain = RandomBytes(gen() % 5000, 100 + i);
        Bytes padded = plain;
        padded.resize((plain.size() + 31) / 32 * 32, 0);
        Fill(block, padded);
        EXPECT_EQ(0, key.Encrypt(block));
        EXPECT_EQ(EncryptLayers(material, iv, padded), Contents(block));
        AppendInt32(block, static_cast<uint32_t>(plain.size()));
        EXPECT_EQ(0, key.Decrypt(block));
        EXPECT_EQ(plain, Contents(block)) << plain.size();
    }
}

TEST(AesKeyBlob, SetupBlobHasTheFixedLayoutAndRoundTrips) {
    uint8_t blob[kKeyBlobSize];
    std::memset(blob, 0xee, sizeof blob);
    WriteKeyBlob(blob);
    const Bytes b(blob, blob + kKeyBlobSize);
    uint32_t format, keyLength, ivLength;
    std::memcpy(&format, blob, 4);
    std::memcpy(&keyLength, blob + 4, 4);
    std::memcpy(&ivLength, blob + 24, 4);
    EXPECT_EQ(1u, format);
    EXPECT_EQ(16u, keyLength);
    EXPECT_EQ(16u, ivLength);
    const Bytes material(b.begin() + 8, b.begin() + 24), iv(b.begin() + 28, b.end());
    EXPECT_NE(Bytes(16, 0), material);
    EXPECT_NE(material, iv);

    CWCryptAESKey key;
    Import(key, b);
    const Bytes plain = RandomBytes(1000, 30);
    EXPECT_EQ(plain, DecryptWith(key, Container(material, iv, plain, 1000)));
    // Re-keying starts from scratch: another key no longer decrypts it.
    Import(key, Blob(RandomBytes(16, 31), iv));
    EXPECT_NE(plain, DecryptWith(key, Container(material, iv, plain, 1000)));
}

}  // namespace
