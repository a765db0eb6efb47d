#include <gtest/gtest.h>

#include <cstring>

#include "package/package_format.h"
#include "tests/native/package/image_builder.h"

namespace {

std::vector<uint8_t> Contents(const CWBlock& block) {
    return std::vector<uint8_t>(block.GetData(), block.GetData() + block.GetLength());
}

TEST(InflatePackage, DeclaredSizeEqualToTheDataGivesTheData) {
    const std::vector<uint8_t> data = Pattern(5000, 1);
    CWBlock image, package;
    Fill(image, CompressedImage(5000, data));
    ASSERT_EQ(0, InflatePackage(image, package));
    EXPECT_EQ(data, Contents(package));
}

TEST(InflatePackage, LargerDeclaredSizeKeepsItAndZeroFillsTheRest) {
    const std::vector<uint8_t> data = Pattern(3000, 2);
    CWBlock image, package;
    // The package block held other bytes before: they must not show through.
    Fill(package, std::vector<uint8_t>(20000, 0xEE));
    ASSERT_EQ(1, package.SetSize(0));
    Fill(image, CompressedImage(10000, data));
    ASSERT_EQ(0, InflatePackage(image, package));
    ASSERT_EQ(10000u, package.GetLength());
    EXPECT_EQ(0, std::memcmp(package.GetData(), data.data(), data.size()));
    for (uint32_t i = 3000; i < 10000; ++i) ASSERT_EQ(0, package.GetData()[i]) << "byte " << i;
}

TEST(InflatePackage, SmallerDeclaredSizeIsMinusTwo) {
    const std::vector<uint8_t> data = Pattern(3000, 3);
    CWBlock image, package;
    Fill(image, CompressedImage(2999, data));
    EXPECT_EQ(-2, InflatePackage(image, package));
    Fill(image, CompressedImage(1, data));
    EXPECT_EQ(-2, InflatePackage(image, package));
}

TEST(InflatePackage, ImagesTooShortForTheirHeaderAreMinusThreeAndTouchNothing) {
    for (size_t length = 0; length < 4; ++length) {
        CWBlock image, package;
        Fill(image, std::vector<uint8_t>(length, 0x10));
        EXPECT_EQ(-3, InflatePackage(image, package)) << length << " bytes";
        EXPECT_EQ(0u, package.GetLength());
        EXPECT_EQ(nullptr, package.GetData()) << "no block taken for " << length << " bytes";
    }
    // S alone, no stream.
    CWBlock image, package;
    Fill(image, ImageBuilder().U32(100).bytes);
    EXPECT_EQ(-3, InflatePackage(image, package));
    EXPECT_EQ(nullptr, package.GetData());
}

TEST(InflatePackage, DamagedTruncatedOrForeignStreamsAreMinusThree) {
    const std::vector<uint8_t> data = Pattern(20000, 4);
    const std::vector<uint8_t> good = CompressedImage(20000, data);
    CWBlock image, package;

    // A flipped bit anywhere in the stream never passes; where it hits a
    // length it can also make the data overflow S (-2).
    for (size_t at = 7; at < good.size(); at += good.size() / 17) {
        std::vector<uint8_t> flipped = good;
        flipped[at] ^= 0x40;
        Fill(image, flipped);
        const int result = InflatePackage(image, package);
        EXPECT_TRUE(result == -3 || result == -2) << "flip at " << at << ": " << result;
    }

    // Adler-32 cut: with room left in S the stream is plainly incomplete.
    std::vector<uint8_t> truncated = CompressedImage(20001, data);
    truncated.resize(truncated.size() - 3);
    Fill(image, truncated);
    EXPECT_EQ(-3, InflatePackage(image, package));
    truncated.resize(truncated.size() - 500);
    Fill(image, truncated);
    EXPECT_EQ(-3, InflatePackage(image, package));

    std::vector<uint8_t> checksum = good;
    checksum.back() ^= 0x01;
    Fill(image, checksum);
    EXPECT_EQ(-3, InflatePackage(image, package));

    // A header that is no zlib header: refused before S bytes are taken.
    std::vector<uint8_t> notZlib = ImageBuilder().U32(0xFFFFFFF0u).Raw(Pattern(64, 5)).bytes;
    notZlib[4] = 0x79;
    CWBlock empty;
    Fill(image, notZlib);
    EXPECT_EQ(-3, InflatePackage(image, empty));
    EXPECT_EQ(nullptr, empty.GetData());
}

// A damaged S must not cost memory: what no stream of the image's length can
// fill is refused unallocated, and the block grows only with real output.
TEST(InflatePackage, MemoryFollowsTheStreamNotTheDeclaredSize) {
    const std::vector<uint8_t> data = Pattern(3000, 7);
    std::vector<uint8_t> good = CompressedImage(3000, data);
    const uint32_t stream = static_cast<uint32_t>(good.size() - 4);
    CWBlock image;
    for (uint32_t declared : {1032u * stream + 1, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        std::vector<uint8_t> bytes = good;
        bytes[0] = uint8_t(declared);
        bytes[1] = uint8_t(declared >> 8);
        bytes[2] = uint8_t(declared >> 16);
        bytes[3] = uint8_t(declared >> 24);
        Fill(image, bytes);
        CWBlock package;
        EXPECT_EQ(-3, InflatePackage(image, package)) << declared;
        EXPECT_EQ(nullptr, package.GetData()) << declared;
    }
    // Within the bound but damaged mid-stream: a few times the data at most.
    std::vector<uint8_t> damaged = CompressedImage(1032u * stream, data);
    damaged[damaged.size() / 2] ^= 0x10;
    Fill(image, damaged);
    CWBlock package;
    EXPECT_NE(0, InflatePackage(image, package));
    EXPECT_LE(package.GetCapacity(), 64u * 1024) << "sized from S, not from the stream";

    // The bound is a bound: the most compressible data still inflates, through
    // many doublings, into a block of exactly S with its zero padding.
    const std::vector<uint8_t> zeros(4u << 20, 0);
    const std::vector<uint8_t> dense = CompressedImage((4u << 20) + 5, zeros);
    Fill(image, dense);
    ASSERT_EQ(0, InflatePackage(image, package));
    EXPECT_EQ((4u << 20) + 5, package.GetLength());
    EXPECT_EQ(std::vector<uint8_t>((4u << 20) + 5, 0), Contents(package));
}

// S = 0 is no output space, as uncompress sees it: an empty stream fits,
// any data does not, and damage stays damage.
TEST(InflatePackage, DeclaredSizeZeroFitsOnlyAnEmptyStream) {
    CWBlock image;
    Fill(image, CompressedImage(0, std::vector<uint8_t>()));
    CWBlock fresh;
    EXPECT_EQ(0, InflatePackage(image, fresh));
    EXPECT_EQ(0u, fresh.GetLength());
    EXPECT_EQ(nullptr, fresh.GetData()) << "no region for 0 bytes";
    CWBlock used;
    Fill(used, Pattern(100, 6));
    EXPECT_EQ(0, InflatePackage(image, used));
    EXPECT_EQ(0u, used.GetLength()) << "whatever the package held";

    Fill(image, CompressedImage(0, Pattern(1, 6)));
    EXPECT_EQ(-2, InflatePackage(image, fresh));
    std::vector<uint8_t> damaged = CompressedImage(0, std::vector<uint8_t>());
    damaged.back() ^= 1;  // the Adler-32 of the empty stream
    Fill(image, damaged);
    EXPECT_EQ(-3, InflatePackage(image, fresh));
}

}  // namespace
