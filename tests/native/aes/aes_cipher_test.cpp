// The block cipher against the published AES examples, the mode handling of
// the buffer operations and their result codes. The buffer operations run on
// both engines: the table form and, where the processor has it, AES-NI.
#include <gtest/gtest.h>

#include "aes_test_util.h"
#include "package/aes_cipher.h"

namespace {

const char* const kKey256 = "603deb1015ca71be2b73aef0857d77811f352c073b6108d72d9810a30914dff4";
const char* const kIv = "000102030405060708090a0b0c0d0e0f";
const char* const kPlain4 =
    "6bc1bee22e409f96e93d7e117393172aae2d8a571e03ac9c9eb76fac45af8e51"
    "30c81c46a35ce411e5fbc1191a0a52eff69f2445df4f9b17ad2b417be66c3710";

CWAESCipher Context(int mode, int direction, const Bytes& key, const Bytes& iv = Bytes()) {
    CWAESCipher c;
    EXPECT_EQ(0, c.Init(mode, direction, key.data(), static_cast<int>(key.size() / 8 - 2),
                        iv.empty() ? nullptr : iv.data()));
    return c;
}

// FIPS-197 Appendix C: one plaintext under 128-, 192- and 256-bit keys.
TEST(AesBlock, Fips197AppendixCAllKeyLengths) {
    const Bytes plain = Hex("00112233445566778899aabbccddeeff");
    const struct {
        const char* key;
        const char* cipher;
    } cases[] = {
        {"000102030405060708090a0b0c0d0e0f", "69c4e0d86a7b0430d8cdb78070b4c55a"},
        {"000102030405060708090a0b0c0d0e0f1011121314151617", "dda97ca4864cdfe06eaf70a0ec0d7191"},
        {"000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f",
         "8ea2b7ca516745bfeafc49904b496089"},
    };
    for (const auto& c : cases) {
        const Bytes key = Hex(c.key), cipher = Hex(c.cipher);
        const CWAESCipher enc = Context(0, 0, key), dec = Context(0, 1, key);
        Bytes out(16);
        enc.EncryptBlock(plain.data(), out.data());
        EXPECT_EQ(cipher, out) << c.key;
        dec.DecryptBlock(cipher.data(), out.data());
        EXPECT_EQ(plain, out) << c.key;
        dec.DecryptBlock(out.data(), out.data());  // in place
        enc.EncryptBlock(out.data(), out.data());
        EXPECT_EQ(plain, out) << c.key;
    }
}

class AesBufferOnEngine : public ::testing::TestWithParam<AesEngine> {
protected:
    void SetUp() override {
        if (SelectAesEngine(GetParam()) != GetParam())
            GTEST_SKIP() << "this processor has no AES instructions";
    }
    ScopedAesEngine m_restore{ActiveAesEngine()};
};

INSTANTIATE_TEST_SUITE_P(Engines, AesBufferOnEngine,
                         ::testing::Values(AesEngine::kTableForm, AesEngine::kAesNi),
                         [](const ::testing::TestParamInfo<AesEngine>& info) {
                             return EngineName(info.param);
                         });

// NIST SP 800-38A F.1.5/F.1.6, F.2.5/F.2.6 (AES-256) and F.3.5/F.3.6 (CFB1,
// whose 16 example bits open the block checked here).
TEST_P(AesBufferOnEngine, Sp80038aVectorsAllModesBothDirections) {
    const Bytes key = Hex(kKey256), iv = Hex(kIv), plain = Hex(kPlain4);
    const struct {
        int mode;
        const char* cipher;
        int bits;
    } cases[] = {
        {0,
         "f3eed1bdb5d2a03c064b5a7e3db181f8591ccb10d410ed26dc5ba74a31362870"
         "b6ed21b99ca6f4f9f153e7b1beafed1d23304b7a39f9f3ff067d8d8f9e24ecc7",
         512},
        {1,
         "f58c4c04d6e5f1ba779eabfb5f7bfbd69cfc4e967edb808d679f777bc6702c7d"
         "39f23369a9d9bacfa530e26304231461b2eb05e2c39be9fcda6c19078c6a9d1b",
         512},
        {2, "9029c2ba5b7d440b562023deec3de592", 128},
    };
    for (const auto& c : cases) {
        const Bytes cipher = Hex(c.cipher);
        const Bytes in(plain.begin(), plain.begin() + c.bits / 8);
        CWAESCipher enc = Context(c.mode, 0, key, iv), dec = Context(c.mode, 1, key, iv);
        Bytes out(in.size());
        EXPECT_EQ(c.bits, enc.EncryptBuffer(in.data(), c.bits, out.data())) << c.mode;
        EXPECT_EQ(cipher, out) << c.mode;
        out = cipher;
        EXPECT_EQ(c.bits, dec.DecryptBuffer(out.data(), c.bits, out.data())) << c.mode;
        EXPECT_EQ(in, out) << c.mode;
        // The IV is not advanced: a second call decrypts the same way again.
        out = cipher;
        dec.DecryptBuffer(out.data(), c.bits, out.data());
        EXPECT_EQ(in, out) << c.mode;
    }
}

// CBC decryption of 1 to 19 blocks, in place and not, against ECB decryption
// chained by hand: covers the grouped-block loops and their tails.
TEST_P(AesBufferOnEngine, CbcDecryptionMatchesChainedBlocksForEveryCount) {
    const Bytes key = RandomBytes(32, 1), iv = RandomBytes(16, 2);
    CWAESCipher enc = Context(1, 0, key, iv), dec = Context(1, 1, key, iv), ecb = Context(0, 1, key);
    for (int blocks = 1; blocks <= 19; ++blocks) {
        const Bytes plain = RandomBytes(16 * blocks, 10 + blocks);
        Bytes cipher(plain.size());
        enc.EncryptBuffer(plain.data(), 128 * blocks, cipher.data());
        Bytes chained(plain.size());
        ecb.DecryptBuffer(cipher.data(), 128 * blocks, chained.data());
        for (size_t i = 0; i < chained.size(); ++i) chained[i] ^= i < 16 ? iv[i] : cipher[i - 16];
        EXPECT_EQ(plain, chained) << blocks;
        Bytes out(plain.size());
        dec.DecryptBuffer(cipher.data(), 128 * blocks, out.data());
        EXPECT_EQ(plain, out) << blocks;
        EXPECT_EQ(0, dec.DecryptBlocks(cipher.data(), blocks, cipher.data()));
        EXPECT_EQ(plain, cipher) << blocks;
    }
}

TEST(AesInit, ResultCodesLeaveTheContextNotReady) {
    const Bytes key(32, 7);
    CWAESCipher c;
    Bytes data(32, 0x5a);
    EXPECT_EQ(1, c.State());
    EXPECT_EQ(-5, c.DecryptBuffer(data.data(), 256, data.data()));
    EXPECT_EQ(-1, c.Init(3, 1, key.data(), 2, nullptr));
    EXPECT_EQ(-1, c.Init(-1, 1, key.data(), 2, nullptr));
    EXPECT_EQ(-2, c.Init(1, 2, key.data(), 2, nullptr));
    EXPECT_EQ(-3, c.Init(1, 1, key.data(), 3, nullptr));
    EXPECT_EQ(-3, c.Init(1, 1, key.data(), -1, nullptr));
    EXPECT_EQ(-4, c.Init(1, 1, nullptr, 2, nullptr));
    EXPECT_EQ(1, c.State());
    EXPECT_EQ(-5, c.DecryptBuffer(data.data(), 256, data.data()));
    EXPECT_EQ(-5, c.EncryptBuffer(data.data(), 256, data.data()));
    EXPECT_EQ(Bytes(32, 0x5a), data);
    // A failed Init after a good one drops the context back to not ready.
    EXPECT_EQ(0, c.Init(1, 1, key.data(), 2, nullptr));
    EXPECT_EQ(0, c.State());
    EXPECT_EQ(-3, c.Init(1, 1, key.data(), 3, nullptr));
    EXPECT_EQ(-5, c.DecryptBuffer(data.data(), 256, data.data()));
}

TEST(AesBuffer, DirectionRulesAndLengths) {
    const Bytes key(32, 9);
    Bytes data = RandomBytes(48, 3);
    const Bytes before = data;
    for (int mode = 0; mode <= 1; ++mode) {
        CWAESCipher enc = Context(mode, 0, key), dec = Context(mode, 1, key);
        EXPECT_EQ(-6, enc.DecryptBuffer(data.data(), 256, data.data())) << mode;
        EXPECT_EQ(-6, dec.EncryptBuffer(data.data(), 256, data.data())) << mode;
        EXPECT_EQ(-6, enc.DecryptBlocks(data.data(), 2, data.data())) << mode;
    }
    EXPECT_EQ(before, data);
    // One-bit CFB runs in either direction on either kind of context.
    CWAESCipher cfbEnc = Context(2, 0, key);
    EXPECT_EQ(128, cfbEnc.DecryptBuffer(before.data(), 128, data.data()));

    data = before;
    CWAESCipher dec = Context(1, 1, key);
    EXPECT_EQ(0, dec.DecryptBuffer(data.data(), 100, data.data()));
    EXPECT_EQ(0, dec.DecryptBuffer(data.data(), 0, data.data()));
    EXPECT_EQ(0, dec.DecryptBuffer(data.data(), -128, data.data()));
    EXPECT_EQ(0, dec.DecryptBuffer(nullptr, 128, data.data()));
    EXPECT_EQ(0, dec.DecryptBuffer(data.data(), 128, nullptr));
    EXPECT_EQ(before, data);
    // 300 bits: two whole blocks; the third block stays as it was.
    EXPECT_EQ(256, dec.DecryptBuffer(data.data(), 300, data.data()));
    EXPECT_NE(Bytes(before.begin(), before.begin() + 32), Bytes(data.begin(), data.begin() + 32));
    EXPECT_EQ(Bytes(before.begin() + 32, before.end()), Bytes(data.begin() + 32, data.end()));
}

}  // namespace
