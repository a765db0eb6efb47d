// Sized records: writing, reading back, and reads at and past the used length.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "foundation/block.h"

namespace {

void AppendBytes(CWBlock& block, const std::string& text) {
    block.Append(text.data(), uint32_t(text.size()));
}

std::string Contents(const CWBlock& block) {
    return std::string(reinterpret_cast<const char*>(block.GetData()), block.GetLength());
}

TEST(Records, WrittenLittleEndianAndReadBack) {
    CWBlock block;
    AppendInt32(block, 0x04030201u);
    ASSERT_EQ(block.GetLength(), 4u);
    EXPECT_EQ(Contents(block), std::string("\x01\x02\x03\x04", 4));

    CWBlock payload;
    AppendBytes(payload, "hello");
    CWBlock empty;
    AppendSizedBlock(block, payload);
    AppendSizedBlock(block, empty);
    AppendSizedBlock(block, payload);
    ASSERT_EQ(block.GetLength(), 4u + 9u + 4u + 9u);
    EXPECT_EQ(Contents(block).substr(4, 9), std::string("\x05\0\0\0hello", 9));

    uint32_t cursor = 0;
    uint32_t value = 0;
    ReadInt32(block, cursor, &value);
    EXPECT_EQ(value, 0x04030201u);
    EXPECT_EQ(cursor, 4u);

    CWBlock target;
    AppendBytes(target, ">");
    ReadSizedBlock(block, cursor, target);
    EXPECT_EQ(cursor, 13u);
    ReadSizedBlock(block, cursor, target);  // count 0: only the count is passed
    EXPECT_EQ(cursor, 17u);
    EXPECT_EQ(Contents(target), ">hello");

    char text[16] = {};
    ReadSizedBytes(block, cursor, text, sizeof text - 1);
    EXPECT_STREQ(text, "hello");
    EXPECT_EQ(cursor, block.GetLength());
}

TEST(Records, ShortBufferTruncatesButCursorPassesWholeRecord) {
    CWBlock block;
    CWBlock payload;
    AppendBytes(payload, "abcdefgh");
    AppendSizedBlock(block, payload);
    AppendInt32(block, 77);

    uint32_t cursor = 0;
    char buffer[4] = {'-', '-', '-', '-'};
    ReadSizedBytes(block, cursor, buffer, 3);
    EXPECT_EQ(std::string(buffer, 4), "abc-");
    EXPECT_EQ(cursor, 12u);
    uint32_t value = 0;
    ReadInt32(block, cursor, &value);
    EXPECT_EQ(value, 77u);
}

TEST(Records, BlockCanAppendItselfAsRecord) {
    CWBlock block;
    AppendBytes(block, "xyz");
    AppendSizedBlock(block, block);
    EXPECT_EQ(Contents(block), std::string("xyz\x03\0\0\0xyz", 10));
}

// A reader loops "while cursor < length"; every refused read must end that loop.
TEST(RecordsAtTheEnd, Int32WithFewerThanFourBytesLeftReadsNothing) {
    CWBlock block;
    AppendBytes(block, "\x01\x02\x03\x04\x05\x06");
    uint32_t cursor = 4;
    uint32_t value = 0xDEADBEEF;
    ReadInt32(block, cursor, &value);
    EXPECT_EQ(value, 0xDEADBEEFu);
    EXPECT_EQ(cursor, 6u);

    cursor = 1000;
    ReadInt32(block, cursor, &value);
    EXPECT_EQ(value, 0xDEADBEEFu);
    EXPECT_EQ(cursor, 6u);

    cursor = 2;
    ReadInt32(block, cursor, &value);  // exactly four bytes left
    EXPECT_EQ(value, 0x06050403u);
    EXPECT_EQ(cursor, 6u);
}

TEST(RecordsAtTheEnd, RecordRunningPastUsedLengthCopiesNothing) {
    // The region has slack beyond the used length; the reader must not use it.
    CWBlock block;
    AppendInt32(block, 5);
    AppendBytes(block, "ab");
    ASSERT_GT(block.GetCapacity(), block.GetLength() + 3);
    std::memcpy(block.GetData() + block.GetLength(), "cde", 3);

    uint32_t cursor = 0;
    CWBlock target;
    ReadSizedBlock(block, cursor, target);
    EXPECT_EQ(target.GetLength(), 0u);
    EXPECT_EQ(cursor, block.GetLength());

    cursor = 0;
    char buffer[8] = {};
    ReadSizedBytes(block, cursor, buffer, sizeof buffer);
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(cursor, block.GetLength());
}

TEST(RecordsAtTheEnd, NegativeAndHugeCountsAreRefused) {
    for (uint32_t count : {0xFFFFFFFFu, 0x80000000u, 0x7FFFFFFFu}) {
        CWBlock block;
        AppendInt32(block, count);
        AppendBytes(block, "payload");
        uint32_t cursor = 0;
        CWBlock target;
        ReadSizedBlock(block, cursor, target);
        EXPECT_EQ(target.GetLength(), 0u) << count;
        EXPECT_EQ(cursor, block.GetLength()) << count;

        cursor = 0;
        char buffer[8] = {};
        ReadSizedBytes(block, cursor, buffer, sizeof buffer);
        EXPECT_EQ(buffer[0], 0) << count;
        EXPECT_EQ(cursor, block.GetLength()) << count;
    }
}

TEST(RecordsAtTheEnd, PartialCountAndRecordEndingExactlyAtLength) {
    CWBlock block;
    AppendInt32(block, 2);
    AppendBytes(block, "ok");
    AppendBytes(block, std::string("\x01\x00", 2));  // half a count
    uint32_t cursor = 0;
    CWBlock target;
    ReadSizedBlock(block, cursor, target);
    EXPECT_EQ(Contents(target), "ok");
    EXPECT_EQ(cursor, 6u);
    ReadSizedBlock(block, cursor, target);
    EXPECT_EQ(Contents(target), "ok");
    EXPECT_EQ(cursor, 8u);
}

TEST(RecordsAtTheEnd, MissingDataOrOutputLeavesCursorAlone) {
    CWBlock empty;
    uint32_t cursor = 3;
    uint32_t value = 1;
    CWBlock target;
    char buffer[4] = {};
    ReadInt32(empty, cursor, &value);
    ReadSizedBlock(empty, cursor, target);
    ReadSizedBytes(empty, cursor, buffer, 4);
    EXPECT_EQ(cursor, 3u);

    CWBlock block;
    AppendInt32(block, 1);
    AppendBytes(block, "z");
    cursor = 0;
    ReadInt32(block, cursor, nullptr);
    ReadSizedBytes(block, cursor, nullptr, 4);
    ReadSizedBytes(block, cursor, buffer, 0);
    ReadSizedBytes(block, cursor, buffer, -1);
    EXPECT_EQ(cursor, 0u);
    EXPECT_EQ(value, 1u);
}

}  // namespace
