#include <gtest/gtest.h>

#include <set>
#include <zlib.h>

#include "tests/native/kvnpack/kvnpack_harness.h"
#include "tools/kvnpack/payload_writer.h"

namespace {

void ExpectPayloadHoldsTree(const std::vector<uint8_t>& payload, const TreeMap& tree) {
    ASSERT_GE(payload.size(), 36u);
    EXPECT_EQ(4u, payload.size() % 32) << "a container is 4 more than a multiple of 32";
    const size_t body = payload.size() - 4;
    const uint32_t trailer = payload[body] | (payload[body + 1] << 8) | (payload[body + 2] << 16) |
                             (static_cast<uint32_t>(payload[body + 3]) << 24);
    EXPECT_LE(trailer, body);
    EXPECT_GT(trailer + 32, body) << "filler shorter than 32 bytes";

    const DecodedPayload decoded = DecodeAsSetup(payload);
    ASSERT_EQ(0, decoded.inflateStatus);
    EXPECT_EQ(0, decoded.readStatus);
    EXPECT_EQ(1u, decoded.version);
    ASSERT_EQ(tree.size(), decoded.records.size());
    std::set<std::string> seen;
    for (const DecodedRecord& record : decoded.records) {
        const auto it = tree.find(record.name);
        ASSERT_NE(tree.end(), it) << "unexpected record " << record.name;
        const size_t cut = record.name.rfind('\\');
        if (cut != std::string::npos) {
            EXPECT_TRUE(seen.count(record.name.substr(0, cut))) << record.name << " before its folder";
        }
        EXPECT_TRUE(seen.insert(record.name).second) << "twice: " << record.name;
        if (it->second.folder) {
            EXPECT_EQ(0x10u, record.attributes) << record.name;
            EXPECT_TRUE(record.bytes.empty()) << record.name;
        } else {
            EXPECT_EQ(it->second.readOnly ? 0x21u : 0x20u, record.attributes) << record.name;
            EXPECT_TRUE(it->second.bytes == record.bytes) << record.name << ": contents differ";
        }
    }
}

struct TreeShape {
    uint32_t seed;
    int entries;
    size_t maxFileBytes;
};

class PackRoundTrip : public ::testing::TestWithParam<TreeShape> {};

TEST_P(PackRoundTrip, DecodingGivesBackTheTree) {
    const TreeShape shape = GetParam();
    TempFolder work;
    MakeRandomTree(work / "sdk", shape.seed, shape.entries, shape.maxFileBytes);
    const RunResult run = Kvnpack({"pack", (work / "sdk").string(), "-o", (work / "payload.bin").string()});
    ASSERT_EQ(0, run.status) << run.err;
    ExpectPayloadHoldsTree(ReadBytes(work / "payload.bin"), DescribeTree(work / "sdk"));
}

INSTANTIATE_TEST_SUITE_P(Trees, PackRoundTrip,
                         ::testing::Values(TreeShape{1, 0, 0}, TreeShape{2, 6, 100}, TreeShape{3, 40, 5000},
                                           TreeShape{4, 150, 70000}, TreeShape{5, 12, 3 << 20}));

TEST(Pack, NamesAreUtf16LittleEndianWithBackslashes) {
    TempFolder work;
    fs::create_directories(work / "sdk/Caf\xC3\xA9");
    WriteBytes(work / "sdk/Caf\xC3\xA9/\xF0\x9F\x98\x80.txt", {1, 2, 3});
    ASSERT_EQ(0, Kvnpack({"pack", (work / "sdk").string(), "-o", (work / "p.bin").string()}).status);
    // Decrypt with the setup's key, then look at the raw record bytes.
    const DecodedPayload decoded = DecodeAsSetup(ReadBytes(work / "p.bin"));
    ASSERT_EQ(2u, decoded.records.size());
    EXPECT_EQ("Caf\xC3\xA9", decoded.records[0].name);
    EXPECT_EQ("Caf\xC3\xA9\\\xF0\x9F\x98\x80.txt", decoded.records[1].name);
}

TEST(Pack, RecordImageLayoutIsExact) {
    // The image of a known tree, byte for byte: version 1, then the records.
    TempFolder work;
    fs::create_directories(work / "sdk/B");
    WriteBytes(work / "sdk/B/f", {0xAA, 0xBB});
    std::vector<TreeEntry> entries;
    std::string error;
    ASSERT_TRUE(ScanTree(work / "sdk", entries, error)) << error;
    std::vector<uint8_t> image;
    ASSERT_TRUE(BuildPackageImage(entries, image, error)) << error;
    const std::vector<uint8_t> expected = {1, 0, 0, 0,                                             // version
                                           2, 0, 0, 0, 'B',  0,   0x10, 0, 0,   0, 0,    0, 0, 0,  // folder B
                                           6, 0, 0, 0, 'B',  0,   '\\', 0, 'f', 0, 0x20, 0, 0, 0,
                                           2, 0, 0, 0, 0xAA, 0xBB};
    EXPECT_EQ(expected, image);
}

TEST(Pack, CompressionIsTheStreamCompress2WritesAtLevel9) {
    const std::vector<uint8_t> data = RandomBytes(300000, 9);
    std::vector<uint8_t> ours;
    std::string error;
    ASSERT_TRUE(DeflateLevel9(data.data(), data.size(), ours, error));
    uLongf length = compressBound(data.size());
    std::vector<uint8_t> reference(length);
    ASSERT_EQ(Z_OK, compress2(reference.data(), &length, data.data(), data.size(), 9));
    reference.resize(length);
    EXPECT_TRUE(ours == reference);
}

TEST(Pack, TheSameTreeGivesTheSameBytes) {
    TempFolder work;
    MakeRandomTree(work / "a", 77, 60, 20000);
    // The same tree again, created in the opposite order and at another time.
    const TreeMap tree = DescribeTree(work / "a");
    for (auto it = tree.begin(); it != tree.end(); ++it)
        if (it->second.folder) {
            std::string name = it->first;
            for (char& c : name)
                if (c == '\\') c = '/';
            fs::create_directories(work / ("b/" + name));
        }
    for (auto it = tree.rbegin(); it != tree.rend(); ++it) {
        if (it->second.folder) continue;
        std::string name = it->first;
        for (char& c : name)
            if (c == '\\') c = '/';
        WriteBytes(work / ("b/" + name), it->second.bytes);
        if (it->second.readOnly)
            fs::permissions(work / ("b/" + name),
                            fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                            fs::perm_options::remove);
    }
    ASSERT_EQ(0, Kvnpack({"pack", (work / "a").string(), "-o", (work / "a1.bin").string()}).status);
    ASSERT_EQ(0, Kvnpack({"pack", (work / "a").string(), "-o", (work / "a2.bin").string()}).status);
    ASSERT_EQ(0, Kvnpack({"pack", (work / "b").string(), "-o", (work / "b.bin").string()}).status);
    const std::vector<uint8_t> first = ReadBytes(work / "a1.bin");
    EXPECT_TRUE(first == ReadBytes(work / "a2.bin"));
    EXPECT_TRUE(first == ReadBytes(work / "b.bin"));
}

TEST(Pack, ForeignKeyPayloadIsWellFormedButDoesNotDecode) {
    TempFolder work;
    MakeRandomTree(work / "sdk", 11, 20, 4000);
    ASSERT_EQ(0, Kvnpack({"pack", (work / "sdk").string(), "-o", (work / "good.bin").string()}).status);
    ASSERT_EQ(0, Kvnpack({"pack", (work / "sdk").string(), "-o", (work / "foreign.bin").string(),
                          "--test-foreign-key"})
                     .status);
    const std::vector<uint8_t> good = ReadBytes(work / "good.bin");
    const std::vector<uint8_t> foreign = ReadBytes(work / "foreign.bin");
    ASSERT_EQ(good.size(), foreign.size());
    EXPECT_TRUE(std::equal(good.end() - 4, good.end(), foreign.end() - 4)) << "same trailer";
    EXPECT_FALSE(good == foreign);
    EXPECT_NE(0, DecodeAsSetup(foreign).inflateStatus);
}

}  // namespace
