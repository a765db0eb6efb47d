// The AES-NI engine against the table form: the same bytes from the same
// contexts for every mode, direction, key length, block count and
// alignment, for the key object's container length classes and for the
// key-blob fuzz corpus; and the selection of the table form.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "aes_test_util.h"
#include "fuzz/key_blob_input.h"
#include "package/aes_cipher.h"
#include "package/aes_key.h"

namespace {

#define REQUIRE_AES_NI() \
    if (!ProcessorHasAesNi()) GTEST_SKIP() << "this processor has no AES instructions"

TEST(AesEngineSelection, TableFormCanBeForcedAndAesNiOnlyWhereThereIsOne) {
    ScopedAesEngine restore(ActiveAesEngine());
    EXPECT_EQ(AesEngine::kTableForm, SelectAesEngine(AesEngine::kTableForm));
    EXPECT_EQ(AesEngine::kTableForm, ActiveAesEngine());
    const AesEngine expected = ProcessorHasAesNi() ? AesEngine::kAesNi : AesEngine::kTableForm;
    EXPECT_EQ(expected, SelectAesEngine(AesEngine::kAesNi));
    EXPECT_EQ(expected, ActiveAesEngine());
}

struct Outcome {
    int status;
    Bytes bytes;
};

// The buffer operation of one engine, out of place and in place; the two
// must agree before the result counts.
Outcome RunBlocks(AesEngine engine, CWAESCipher& c, bool decrypt, const Bytes& in, size_t offset) {
    ScopedAesEngine use(engine);
    const size_t blocks = in.size() / 16;
    Bytes out(in.size() + offset, 0), inPlace(in.size() + offset, 0);
    std::copy(in.begin(), in.end(), inPlace.begin() + offset);
    Outcome run;
    run.status = decrypt ? c.DecryptBlocks(in.data(), blocks, out.data() + offset)
                         : c.EncryptBlocks(in.data(), blocks, out.data() + offset);
    const int again = decrypt ? c.DecryptBlocks(inPlace.data() + offset, blocks, inPlace.data() + offset)
                              : c.EncryptBlocks(inPlace.data() + offset, blocks, inPlace.data() + offset);
    EXPECT_EQ(run.status, again);
    EXPECT_EQ(inPlace, out) << EngineName(engine) << ": in place differs";
    run.bytes.assign(out.begin() + offset, out.end());
    return run;
}

// Block counts around the engines' groups (8 and 4 blocks at a time, 2 in
// the table form) and buffers at odd addresses.
TEST(AesEngines, SameBytesForEveryModeKeyLengthBlockCountAndAlignment) {
    REQUIRE_AES_NI();
    for (int code = 0; code <= 2; ++code) {
        const Bytes key = RandomBytes(16 + 8 * code, 20 + code), iv = RandomBytes(16, 30 + code);
        for (int mode = 0; mode <= 1; ++mode) {
            CWAESCipher enc, dec;
            ASSERT_EQ(0, enc.Init(mode, 0, key.data(), code, iv.data()));
            ASSERT_EQ(0, dec.Init(mode, 1, key.data(), code, iv.data()));
            for (size_t blocks : {0, 1, 2, 3, 4, 5, 7, 8, 9, 15, 16, 17, 19, 24, 100, 4099}) {
                const Bytes plain = RandomBytes(16 * blocks, static_cast<uint32_t>(blocks));
                const size_t offset = blocks % 3;
                const Outcome tableEnc = RunBlocks(AesEngine::kTableForm, enc, false, plain, offset);
                const Outcome niEnc = RunBlocks(AesEngine::kAesNi, enc, false, plain, offset);
                EXPECT_EQ(tableEnc.status, niEnc.status);
                ASSERT_EQ(tableEnc.bytes, niEnc.bytes)
                    << "encrypt code " << code << " mode " << mode << " blocks " << blocks;
                const Outcome tableDec = RunBlocks(AesEngine::kTableForm, dec, true, niEnc.bytes, offset);
                const Outcome niDec = RunBlocks(AesEngine::kAesNi, dec, true, niEnc.bytes, offset);
                EXPECT_EQ(tableDec.status, niDec.status);
                ASSERT_EQ(tableDec.bytes, niDec.bytes)
                    << "decrypt code " << code << " mode " << mode << " blocks " << blocks;
                EXPECT_EQ(plain, niDec.bytes);
            }
        }
    }
}

Outcome DecryptContainer(AesEngine engine, CWCryptAESKey& key, const Bytes& bytes) {
    ScopedAesEngine use(engine);
    CWBlock block;
    Fill(block, bytes);
    Outcome run;
    run.status = key.Decrypt(block);
    run.bytes = Contents(block);
    return run;
}

// The key object's length classes: empty, shorter than a trailer, 32k + 4,
// 16k + 9, whole blocks, and trailers below, at and above the length.
TEST(AesEngines, KeyObjectGivesTheSameBlockForEveryLengthClass) {
    REQUIRE_AES_NI();
    CWCryptAESKey key;
    CWBlock material;
    Fill(material, RandomBytes(16, 41));
    const Bytes iv = RandomBytes(16, 42);
    ASSERT_EQ(0, key.SetKey(material, iv.data()));
    for (size_t n : {0, 1, 3, 4, 16, 25, 36, 57, 64, 100, 132, 4096, 4100, 65545, 1048580}) {
        Bytes bytes = RandomBytes(n, static_cast<uint32_t>(n));
        for (uint32_t trailer : {0u, static_cast<uint32_t>(n / 2), static_cast<uint32_t>(n), 0xFFFFFFFFu}) {
            if (n >= 4)
                for (int i = 0; i < 4; ++i) bytes[n - 4 + i] = static_cast<uint8_t>(trailer >> (8 * i));
            const Outcome table = DecryptContainer(AesEngine::kTableForm, key, bytes);
            const Outcome ni = DecryptContainer(AesEngine::kAesNi, key, bytes);
            EXPECT_EQ(table.status, ni.status) << n << " " << trailer;
            ASSERT_EQ(table.bytes, ni.bytes) << n << " " << trailer;
        }
        CWBlock tableBlock, niBlock;
        Fill(tableBlock, bytes);
        Fill(niBlock, bytes);
        {
            ScopedAesEngine use(AesEngine::kTableForm);
            EXPECT_EQ(0, key.Encrypt(tableBlock));
        }
        EXPECT_EQ(0, key.Encrypt(niBlock));
        ASSERT_EQ(Contents(tableBlock), Contents(niBlock)) << "encrypt " << n;
    }
}

// Every input of the kept key-blob corpus, as the fuzz target reads it.
TEST(AesEngines, KeyBlobCorpusDecryptsAlike) {
    REQUIRE_AES_NI();
    int inputs = 0;
    for (const auto& entry : std::filesystem::directory_iterator(KVN_KEY_BLOB_CORPUS)) {
        std::ifstream file(entry.path(), std::ios::binary);
        const Bytes data{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        CWBlock blob;
        const size_t at = SplitKeyBlobInput(data.data(), data.size(), blob);
        if (at == 0) continue;
        CWCryptAESKey key;
        ASSERT_EQ(0, key.ImportKeyBlob(blob));
        const Bytes container(data.begin() + at, data.end());
        const Outcome table = DecryptContainer(AesEngine::kTableForm, key, container);
        const Outcome ni = DecryptContainer(AesEngine::kAesNi, key, container);
        EXPECT_EQ(table.status, ni.status) << entry.path();
        EXPECT_EQ(table.bytes, ni.bytes) << entry.path();
        ++inputs;
    }
    EXPECT_GT(inputs, 10);
}

}  // namespace
