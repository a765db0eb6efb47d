#include <gtest/gtest.h>

#include <string>

#include "package/package_format.h"
#include "tests/native/package/image_builder.h"

namespace {

std::u16string NameOf(const PackageRecord& record) {
    return std::u16string(record.name);
}

// Reads every record; the last result (0 end, -2 fault) goes to status.
std::vector<PackageRecord> ReadAll(const std::vector<uint8_t>& bytes, int& status, CWBlock& holder) {
    Fill(holder, bytes);
    PackageRecordReader reader(holder);
    std::vector<PackageRecord> records;
    PackageRecord record;
    for (int guard = 0; guard < 100000; ++guard) {
        status = reader.Next(record);
        if (status != 1) break;
        records.push_back(record);
        EXPECT_LE(reader.Position(), reader.Size());
    }
    EXPECT_LE(reader.Position(), reader.Size());
    return records;
}

TEST(PackageRecordReader, ImagesWithoutRecords) {
    CWBlock empty;
    PackageRecordReader none(empty);
    PackageRecord record;
    EXPECT_TRUE(none.AtEnd());
    EXPECT_EQ(0, none.Next(record));

    CWBlock header;
    Fill(header, ImageBuilder().U32(1).bytes);
    PackageRecordReader onlyHeader(header);
    EXPECT_TRUE(onlyHeader.AtEnd()) << "an image of 4 bytes has no record";
    EXPECT_EQ(4u, onlyHeader.Position());
    EXPECT_EQ(0, onlyHeader.Next(record));

    // A partial leading word is skipped like a whole one: no record, no fault.
    for (size_t length = 1; length < 4; ++length) {
        CWBlock partial;
        Fill(partial, std::vector<uint8_t>(length, 1));
        PackageRecordReader reader(partial);
        EXPECT_TRUE(reader.AtEnd()) << length << " bytes";
        EXPECT_EQ(0, reader.Next(record)) << length << " bytes";
    }
}

TEST(PackageRecordReader, ReadsFieldsAndPointsIntoTheImage) {
    const std::vector<uint8_t> content = Pattern(33, 7);
    CWBlock holder;
    int status = 9;
    const auto records =
        ReadAll(ImageBuilder().U32(1).Record(u"Main", 0x10, {}).Record(u"Main\\a.bin", 0x21, content).bytes,
                status, holder);
    EXPECT_EQ(0, status);
    ASSERT_EQ(2u, records.size());
    EXPECT_EQ(u"Main", NameOf(records[0]));
    EXPECT_TRUE(records[0].IsFolder());
    EXPECT_EQ(8u, records[0].nameBytes);
    EXPECT_EQ(0u, records[0].contentLength);
    EXPECT_EQ(u"Main\\a.bin", NameOf(records[1]));
    EXPECT_FALSE(records[1].IsFolder());
    EXPECT_EQ(0x21u, records[1].attributes);
    ASSERT_EQ(33u, records[1].contentLength);
    EXPECT_EQ(holder.GetData() + holder.GetLength() - 33, records[1].content);
    EXPECT_EQ(content, std::vector<uint8_t>(records[1].content, records[1].content + 33));
}

TEST(PackageRecordReader, EmptyNamesAreRecordsWithoutAName) {
    CWBlock holder;
    int status = 9;
    ImageBuilder image;
    image.U32(1).Record(u"a", 0x20, {1});
    image.U32(0).U32(0x20).U32(2).Raw({5, 6});                       // n = 0, with contents
    image.U32(4).Utf16(std::u16string(u"\0b", 2)).U32(0x20).U32(0);  // first unit zero
    image.Record(u"c", 0x20, {3});
    const auto records = ReadAll(image.bytes, status, holder);
    EXPECT_EQ(0, status);
    ASSERT_EQ(4u, records.size());
    EXPECT_TRUE(records[0].IsNamed());
    EXPECT_FALSE(records[1].IsNamed());
    EXPECT_EQ(2u, records[1].contentLength) << "an unnamed record's fields are still consumed";
    EXPECT_FALSE(records[2].IsNamed());
    EXPECT_EQ(u"c", NameOf(records[3]));
}

TEST(PackageRecordReader, TrailingZerosOfAnyLengthEndTheImage) {
    for (size_t zeros = 1; zeros <= 40; ++zeros) {
        CWBlock holder;
        int status = 9;
        const auto records =
            ReadAll(ImageBuilder().U32(1).Record(u"x", 0x20, {9}).Zeros(zeros).bytes, status, holder);
        EXPECT_EQ(0, status) << zeros << " trailing zeros";
        ASSERT_GE(records.size(), 1u);
        EXPECT_EQ(u"x", NameOf(records[0]));
        for (size_t i = 1; i < records.size(); ++i) EXPECT_FALSE(records[i].IsNamed());
    }
}

TEST(PackageRecordReader, FieldsAtExactlyTheEndAreAbsentNotFaulty) {
    CWBlock holder;
    int status = 9;
    auto records = ReadAll(ImageBuilder().U32(1).U32(2).Utf16(u"f").bytes, status, holder);
    EXPECT_EQ(0, status);
    ASSERT_EQ(1u, records.size());
    EXPECT_EQ(0u, records[0].attributes);
    EXPECT_EQ(0u, records[0].contentLength);

    records = ReadAll(ImageBuilder().U32(1).U32(2).Utf16(u"d").U32(0x10).bytes, status, holder);
    EXPECT_EQ(0, status);
    ASSERT_EQ(1u, records.size());
    EXPECT_EQ(0x10u, records[0].attributes);
    EXPECT_EQ(0u, records[0].contentLength);
}

TEST(PackageRecordReader, FieldsThatRunPastTheEndAreMinusTwo) {
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    const ImageBuilder good = ImageBuilder().U32(1).Record(u"ok", 0x20, {1, 2});
    const std::vector<Case> cases = {
        {"name length partly there", ImageBuilder(good).Raw({3, 0}).bytes},
        {"name past the end", ImageBuilder(good).U32(100).Utf16(u"abc").bytes},
        {"name length 0xFFFFFFFF", ImageBuilder(good).U32(0xFFFFFFFFu).Utf16(u"abcdefgh").bytes},
        {"attributes partly there", ImageBuilder(good).U32(2).Utf16(u"a").Raw({0x20, 0}).bytes},
        {"content length partly there", ImageBuilder(good).U32(2).Utf16(u"a").U32(0x20).Raw({1}).bytes},
        {"content past the end",
         ImageBuilder(good).U32(2).Utf16(u"a").U32(0x20).U32(10).Raw({1, 2, 3}).bytes},
        {"content length 0xFFFFFFFF",
         ImageBuilder(good).U32(2).Utf16(u"a").U32(0x20).U32(0xFFFFFFFFu).Raw({1}).bytes},
        {"zeros then a partial non-zero field", ImageBuilder(good).U32(0).Raw({5}).bytes},
    };
    for (const Case& c : cases) {
        CWBlock holder;
        int status = 9;
        const auto records = ReadAll(c.bytes, status, holder);
        EXPECT_EQ(-2, status) << c.what;
        ASSERT_FALSE(records.empty()) << c.what;
        EXPECT_EQ(u"ok", NameOf(records[0])) << c.what;
    }
}

TEST(PackageRecordReader, LongNamesKeep259UnitsAndSkipTheRest) {
    const std::u16string longName(300, u'n');
    CWBlock holder;
    int status = 9;
    const auto records = ReadAll(
        ImageBuilder().U32(1).Record(longName, 0x20, {7}).Record(u"next", 0x20, {8}).bytes, status, holder);
    EXPECT_EQ(0, status);
    ASSERT_EQ(2u, records.size());
    EXPECT_EQ(std::u16string(259, u'n'), NameOf(records[0]));
    EXPECT_EQ(600u, records[0].nameBytes);
    EXPECT_EQ(1u, records[0].contentLength);
    EXPECT_EQ(7, records[0].content[0]);
    EXPECT_EQ(u"next", NameOf(records[1]));
}

TEST(PackageRecordReader, OddNameLengthsAndEmbeddedZeros) {
    CWBlock holder;
    int status = 9;
    ImageBuilder image;
    image.U32(1).U32(3).Raw({'a', 0, 'b'}).U32(0x20).U32(0);
    image.U32(10).Utf16(std::u16string(u"ab\0cd", 5)).U32(0x20).U32(0);
    const auto records = ReadAll(image.bytes, status, holder);
    EXPECT_EQ(0, status);
    ASSERT_EQ(2u, records.size());
    EXPECT_EQ(u"ab", NameOf(records[0])) << "a lone byte reads as a unit with a zero high byte";
    EXPECT_EQ(u"ab", NameOf(records[1]));
}

TEST(PackageRecordReader, PercentagesFollowTheBytesConsumed) {
    ImageBuilder image;
    image.U32(1);
    for (const char16_t* name : {u"f1", u"f2", u"f3"}) image.Record(name, 0x20, Pattern(1000, 8));
    CWBlock holder;
    Fill(holder, image.bytes);
    PackageRecordReader reader(holder);
    PackageRecord record;
    std::vector<int> percents;
    while (reader.Next(record) == 1) percents.push_back(reader.PercentDone());
    EXPECT_EQ((std::vector<int>{33, 66, 100}), percents);
}

}  // namespace
