// Capacity and content rules of CWBlock.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "foundation/block.h"

namespace {

bool AllBytesAre(const uint8_t* p, uint32_t from, uint32_t to, uint8_t value) {
    for (uint32_t i = from; i < to; ++i)
        if (p[i] != value) return false;
    return true;
}

TEST(BlockCapacity, NewBlockHasNoRegionAndCannotBeSizedToZero) {
    CWBlock block;
    EXPECT_EQ(block.GetData(), nullptr);
    EXPECT_EQ(block.GetLength(), 0u);
    EXPECT_EQ(block.GetCapacity(), 0u);
    block.Free();
    EXPECT_EQ(block.GetData(), nullptr);
    EXPECT_EQ(block.SetSize(0), 0);
    EXPECT_EQ(block.GetData(), nullptr);
}

TEST(BlockCapacity, ShrinkKeepsRegionAndOldBytes) {
    CWBlock block;
    ASSERT_EQ(block.SetSize(100), 1);
    EXPECT_EQ(block.GetCapacity(), 100u);
    EXPECT_EQ(block.GetLength(), 100u);
    EXPECT_TRUE(AllBytesAre(block.GetData(), 0, 100, 0));
    std::memset(block.GetData(), 0x5A, 100);
    uint8_t* region = block.GetData();

    ASSERT_EQ(block.SetSize(50), 1);
    EXPECT_EQ(block.GetCapacity(), 100u);
    EXPECT_EQ(block.GetLength(), 50u);
    ASSERT_EQ(block.SetSize(80), 1);
    EXPECT_EQ(block.GetData(), region);
    EXPECT_TRUE(AllBytesAre(block.GetData(), 50, 80, 0x5A));

    ASSERT_EQ(block.SetSize(0), 1);
    EXPECT_EQ(block.GetLength(), 0u);
    EXPECT_EQ(block.GetCapacity(), 100u);
    EXPECT_EQ(block.GetData(), region);

    block.Free();
    EXPECT_EQ(block.GetData(), nullptr);
    EXPECT_EQ(block.GetCapacity(), 0u);
    EXPECT_EQ(block.GetLength(), 0u);
}

TEST(BlockCapacity, GrowingCopiesOnlyUsedBytesIntoExactRegion) {
    CWBlock block;
    ASSERT_EQ(block.SetSize(100), 1);
    std::memset(block.GetData(), 0xAA, 100);
    ASSERT_EQ(block.SetSize(40), 1);
    ASSERT_EQ(block.SetSize(200), 1);
    EXPECT_EQ(block.GetCapacity(), 200u);
    EXPECT_EQ(block.GetLength(), 200u);
    EXPECT_TRUE(AllBytesAre(block.GetData(), 0, 40, 0xAA));
    EXPECT_TRUE(AllBytesAre(block.GetData(), 40, 200, 0));
}

// A block writes no zeros into a region it takes fresh: the page allocator
// must hand out zeroed pages even where the region before held other bytes
// (the system reuses the same pages), for SetSize and for Append's slack.
TEST(BlockCapacity, FreshRegionsReadZeroAfterDirtyOnesWereReleased) {
    for (uint32_t size : {100u, 4096u, 65537u, 3u << 20}) {
        for (int round = 0; round < 3; ++round) {
            {
                CWBlock dirty;
                ASSERT_EQ(dirty.SetSize(size), 1);
                std::memset(dirty.GetData(), 0xFF, size);
            }
            CWBlock sized;
            ASSERT_EQ(sized.SetSize(size), 1);
            EXPECT_TRUE(AllBytesAre(sized.GetData(), 0, size, 0)) << size;
            std::memset(sized.GetData(), 0xEE, size);
            sized.Free();

            const std::vector<uint8_t> bytes(size, 0x11);
            CWBlock appended;
            ASSERT_EQ(appended.Append(bytes.data(), size), 1);
            EXPECT_TRUE(AllBytesAre(appended.GetData(), 0, size, 0x11)) << size;
            EXPECT_TRUE(AllBytesAre(appended.GetData(), size, appended.GetCapacity(), 0)) << size;
            // Growth past the capacity: the new part of the larger region is zero too.
            ASSERT_EQ(appended.SetSize(appended.GetCapacity() + size), 1);
            EXPECT_TRUE(AllBytesAre(appended.GetData(), size, appended.GetLength(), 0)) << size;
        }
    }
}

TEST(BlockCapacity, AppendAddsConstantSlackOnEachGrowth) {
    std::vector<uint8_t> bytes(8192);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = uint8_t(i * 7 + 1);

    CWBlock block;
    ASSERT_EQ(block.Append(bytes.data(), 10), 1);
    EXPECT_EQ(block.GetLength(), 10u);
    EXPECT_EQ(block.GetCapacity(), 8202u);
    EXPECT_TRUE(AllBytesAre(block.GetData(), 10, 8202, 0));
    uint8_t* region = block.GetData();

    ASSERT_EQ(block.Append(bytes.data(), 8192), 1);
    EXPECT_EQ(block.GetData(), region);
    EXPECT_EQ(block.GetCapacity(), 8202u);
    EXPECT_EQ(block.GetLength(), 8202u);

    const uint8_t last = 0xEE;
    ASSERT_EQ(block.Append(&last, 1), 1);
    EXPECT_EQ(block.GetCapacity(), 16395u);
    EXPECT_EQ(block.GetLength(), 8203u);
    EXPECT_EQ(std::memcmp(block.GetData(), bytes.data(), 10), 0);
    EXPECT_EQ(std::memcmp(block.GetData() + 10, bytes.data(), 8192), 0);
    EXPECT_EQ(block.GetData()[8202], 0xEE);
    EXPECT_TRUE(AllBytesAre(block.GetData(), 8203, 16395, 0));
}

TEST(BlockCapacity, AppendAfterSetSizeGrowsFromUsedLength) {
    CWBlock block;
    ASSERT_EQ(block.SetSize(16), 1);
    ASSERT_EQ(block.SetSize(4), 1);
    const uint8_t bytes[20] = {1, 2, 3};
    ASSERT_EQ(block.Append(bytes, 12), 1);  // 4 + 12 fits the 16 of the region
    EXPECT_EQ(block.GetCapacity(), 16u);
    ASSERT_EQ(block.Append(bytes, 1), 1);
    EXPECT_EQ(block.GetCapacity(), 17u + 8192u);
    EXPECT_EQ(block.GetLength(), 17u);
    EXPECT_EQ(block.GetData()[4], 1);
    EXPECT_EQ(block.GetData()[16], 1);
}

TEST(BlockCapacity, AppendRefusesNullZeroAndOverflowingCounts) {
    CWBlock block;
    const uint8_t bytes[10] = {9, 8, 7, 6, 5, 4, 3, 2, 1, 0};
    EXPECT_EQ(block.Append(nullptr, 5), 0);
    EXPECT_EQ(block.Append(bytes, 0), 0);
    EXPECT_EQ(block.GetData(), nullptr);

    ASSERT_EQ(block.Append(bytes, 10), 1);
    uint8_t* region = block.GetData();
    // length + count wraps past 32 bits: refused before any byte is read.
    EXPECT_EQ(block.Append(bytes, UINT32_MAX), 0);
    EXPECT_EQ(block.Append(bytes, UINT32_MAX - 9), 0);
    // No wrap, but no 32-bit capacity can hold it with the slack.
    EXPECT_EQ(block.Append(bytes, UINT32_MAX - 10), 0);
    EXPECT_EQ(block.GetData(), region);
    EXPECT_EQ(block.GetLength(), 10u);
    EXPECT_EQ(block.GetCapacity(), 8202u);
    EXPECT_EQ(std::memcmp(block.GetData(), bytes, 10), 0);
}

TEST(BlockCapacity, AppendFromItsOwnRegionSurvivesGrowth) {
    CWBlock block;
    ASSERT_EQ(block.SetSize(64), 1);
    for (uint32_t i = 0; i < 64; ++i) block.GetData()[i] = uint8_t(i);
    ASSERT_EQ(block.Append(block.GetData(), 64), 1);  // needs a new region
    ASSERT_EQ(block.GetLength(), 128u);
    for (uint32_t i = 0; i < 128; ++i) ASSERT_EQ(block.GetData()[i], uint8_t(i % 64)) << i;
}

TEST(BlockCopy, FittingCopyZeroesWholeRegionAndKeepsIt) {
    CWBlock source;
    const uint8_t bytes[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    ASSERT_EQ(source.Append(bytes, 10), 1);

    CWBlock target;
    ASSERT_EQ(target.SetSize(100), 1);
    std::memset(target.GetData(), 0x77, 100);
    ASSERT_EQ(target.SetSize(60), 1);
    uint8_t* region = target.GetData();

    EXPECT_EQ(&target.CopyFrom(source), &target);
    EXPECT_EQ(target.GetData(), region);
    EXPECT_EQ(target.GetCapacity(), 100u);
    EXPECT_EQ(target.GetLength(), 10u);
    EXPECT_EQ(std::memcmp(target.GetData(), bytes, 10), 0);
    EXPECT_TRUE(AllBytesAre(target.GetData(), 10, 100, 0));

    CWBlock empty;
    std::memset(target.GetData(), 0x33, 100);
    target.CopyFrom(empty);
    EXPECT_EQ(target.GetData(), region);
    EXPECT_EQ(target.GetLength(), 0u);
    EXPECT_TRUE(AllBytesAre(target.GetData(), 0, 100, 0));
}

TEST(BlockCopy, LargerCopyTakesExactRegion) {
    CWBlock source;
    ASSERT_EQ(source.SetSize(300), 1);
    std::memset(source.GetData(), 0x42, 300);

    CWBlock fresh;
    fresh.CopyFrom(source);
    EXPECT_EQ(fresh.GetCapacity(), 300u);
    EXPECT_EQ(fresh.GetLength(), 300u);
    EXPECT_TRUE(AllBytesAre(fresh.GetData(), 0, 300, 0x42));

    CWBlock small;
    ASSERT_EQ(small.SetSize(20), 1);
    small.CopyFrom(source);
    EXPECT_EQ(small.GetCapacity(), 300u);
    EXPECT_TRUE(AllBytesAre(small.GetData(), 0, 300, 0x42));
    EXPECT_NE(small.GetData(), source.GetData());

    CWBlock empty;
    CWBlock stillEmpty;
    stillEmpty.CopyFrom(empty);
    EXPECT_EQ(stillEmpty.GetData(), nullptr);
    EXPECT_EQ(stillEmpty.GetLength(), 0u);
}

TEST(BlockCopy, CopyFromItselfKeepsContents) {
    CWBlock block;
    const uint8_t bytes[4] = {4, 3, 2, 1};
    ASSERT_EQ(block.Append(bytes, 4), 1);
    block.CopyFrom(block);
    ASSERT_EQ(block.GetLength(), 4u);
    EXPECT_EQ(std::memcmp(block.GetData(), bytes, 4), 0);
}

}  // namespace
