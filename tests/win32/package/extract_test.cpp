#include <gtest/gtest.h>

#include "foundation/run_control.h"
#include "package/extract.h"
#include "package/package_format.h"
#include "package/string_ids.h"
#include "tests/native/package/image_builder.h"
#include "tests/win32/package/package_test_support.h"

namespace {

std::vector<uint8_t> Bytes(const char* text) {
    return std::vector<uint8_t>(text, text + strlen(text));
}

int Extract(const ImageBuilder& image, const std::wstring& destination, CWPackageCallback* progress = nullptr,
            CWRunControl* run = nullptr) {
    CWBlock package;
    Fill(package, image.bytes);
    return ExtractPackage(package, progress, destination.c_str(), run);
}

TEST(ExtractPackage, AnImageWithoutRecordsCreatesNothing) {
    TempFolder temp;
    const std::wstring destination = temp / L"dest\\inner";
    EXPECT_EQ(0, Extract(ImageBuilder().U32(1), destination));
    EXPECT_FALSE(PathExists(temp / L"dest")) << "not even the destination";
    CWBlock empty;
    EXPECT_EQ(0, ExtractPackage(empty, nullptr, destination.c_str()));
    EXPECT_FALSE(PathExists(temp / L"dest"));
    for (size_t length = 1; length < 4; ++length) {  // a partial leading word
        CWBlock partial;
        Fill(partial, std::vector<uint8_t>(length, 7));
        EXPECT_EQ(0, ExtractPackage(partial, nullptr, destination.c_str())) << length;
        EXPECT_FALSE(PathExists(temp / L"dest")) << length;
    }
}

// Another writer's separators: a trailing or doubled one names the same
// entry, so it is written there and nothing counts as failed.
TEST(ExtractPackage, NamesThatOnlyDifferInSeparatorsAreWritten) {
    TempFolder temp;
    ImageBuilder image;
    image.U32(1).Record(u"Help\\", 0x10, {});
    image.Record(u"Help\\\\guide.txt", 0x20, Bytes("guide"));
    image.Record(u"Help//Java\\", 0x10, {});
    image.Record(u"Help\\Java//\\index.html", 0x20, Bytes("java"));
    image.Record(u"..\\\\up.txt", 0x20, Bytes("bad"));  // still refused
    RecordingProgress progress;
    CWRunControl failures;
    EXPECT_EQ(0, Extract(image, temp.path(), &progress, &failures));
    EXPECT_EQ(1, failures.Failures()) << "only the name that leaves the folder";
    EXPECT_EQ(5u, progress.percents.size());
    EXPECT_EQ(Bytes("guide"), ReadAll(temp / L"Help\\guide.txt"));
    EXPECT_EQ(Bytes("java"), ReadAll(temp / L"Help\\Java\\index.html"));
    EXPECT_EQ(4u, ListTree(temp.path()).size());
}

TEST(ExtractPackage, NoDestinationIsMinusOne) {
    CWBlock package;
    Fill(package, ImageBuilder().U32(1).Record(u"x", 0x20, {1}).bytes);
    EXPECT_EQ(-1, ExtractPackage(package, nullptr, nullptr));
    EXPECT_EQ(-1, ExtractPackage(package, nullptr, L"")) << "an empty path would mean the current folder";
}

TEST(ExtractPackage, FoldersBeforeFilesWithAttributesApplied) {
    TempFolder temp;
    const std::wstring destination = temp / L"a\\b\\dest";  // missing parents are made
    ImageBuilder image;
    image.U32(1).Record(u"Main", 0x10 | FILE_ATTRIBUTE_HIDDEN, {});
    image.Record(u"Main\\readme.txt", 0x20, Bytes("hello"));
    image.Record(u"Main\\locked.dll", 0x21, Bytes("read only"));
    image.Record(u"Main\\empty.dat", 0x20, {});
    image.Record(u"Main/Sub", 0x10, {});
    image.Record(u"Main/Sub/slash.txt", 0x20, Bytes("forward"));
    ASSERT_EQ(0, Extract(image, destination));
    ASSERT_TRUE(IsFolder(destination + L"\\Main"));
    EXPECT_TRUE(GetFileAttributesW((destination + L"\\Main").c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(Bytes("hello"), ReadAll(destination + L"\\Main\\readme.txt"));
    EXPECT_EQ(Bytes("read only"), ReadAll(destination + L"\\Main\\locked.dll"));
    EXPECT_TRUE(GetFileAttributesW((destination + L"\\Main\\locked.dll").c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(GetFileAttributesW((destination + L"\\Main\\readme.txt").c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(PathExists(destination + L"\\Main\\empty.dat"));
    EXPECT_TRUE(ReadAll(destination + L"\\Main\\empty.dat").empty());
    EXPECT_EQ(Bytes("forward"), ReadAll(destination + L"\\Main\\Sub\\slash.txt"));
}

TEST(ExtractPackage, FileWithoutItsFolderIsSkippedAndTheRestWritten) {
    TempFolder temp;
    ImageBuilder image;
    image.U32(1).Record(u"Missing\\orphan.txt", 0x20, Bytes("lost"));
    image.Record(u"after.txt", 0x20, Bytes("kept"));
    EXPECT_EQ(0, Extract(image, temp.path()));
    EXPECT_FALSE(PathExists(temp / L"Missing"));
    EXPECT_EQ(Bytes("kept"), ReadAll(temp / L"after.txt"));
}

TEST(ExtractPackage, ExistingFilesAreReplaced) {
    TempFolder temp;
    WriteAll(temp / L"data.bin", std::vector<uint8_t>(5000, 'o'));
    EXPECT_EQ(0, Extract(ImageBuilder().U32(1).Record(u"data.bin", 0x20, Bytes("new")), temp.path()));
    EXPECT_EQ(Bytes("new"), ReadAll(temp / L"data.bin")) << "replaced whole, not overwritten in place";
}

// What is in the way of a record: a hidden file goes and the record's file
// takes its place; a read-only file is either replaced or keeps its bytes and
// counts as a failure (Wine run as root can replace it), and gets the
// record's attributes all the same; a hidden folder loses what the record
// does not carry. Each entry ends with exactly the record's attributes.
TEST(ExtractPackage, EntriesInTheWayAreReplacedOrCountedAndEndWithTheRecordsAttributes) {
    TempFolder temp;
    const std::wstring hidden = temp / L"hidden.bin", locked = temp / L"locked.bin",
                       fresh = temp / L"fresh.bin";
    const std::wstring folder = temp / L"Folder";
    WriteAll(hidden, Bytes("old"));
    WriteAll(locked, Bytes("old"));
    ASSERT_TRUE(SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    ASSERT_TRUE(SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_HIDDEN));

    CWRunControl failures;
    ImageBuilder image;
    image.U32(1).Record(u"hidden.bin", 0x20, Bytes("new")).Record(u"locked.bin", 0x20, Bytes("new"));
    image.Record(u"fresh.bin", 0x20, Bytes("new")).Record(u"Folder", 0x10, {});
    EXPECT_EQ(0, Extract(image, temp.path(), nullptr, &failures));

    EXPECT_EQ(Bytes("new"), ReadAll(hidden));
    const bool replaced = ReadAll(locked) == Bytes("new");
    if (!replaced) {
        EXPECT_EQ(Bytes("old"), ReadAll(locked));
    }
    EXPECT_EQ(Bytes("new"), ReadAll(fresh));
    EXPECT_EQ(DWORD(FILE_ATTRIBUTE_ARCHIVE), GetFileAttributesW(hidden.c_str()));
    EXPECT_EQ(DWORD(FILE_ATTRIBUTE_ARCHIVE), GetFileAttributesW(locked.c_str()));
    EXPECT_EQ(DWORD(FILE_ATTRIBUTE_ARCHIVE), GetFileAttributesW(fresh.c_str()));
    EXPECT_EQ(DWORD(FILE_ATTRIBUTE_DIRECTORY), GetFileAttributesW(folder.c_str()));
    EXPECT_EQ(replaced ? 0 : 1, failures.Failures()) << "the read-only file only, when it stayed";
}

TEST(ExtractPackage, UnnamedRecordsAreSkippedWithoutAReport) {
    TempFolder temp;
    ImageBuilder image;
    image.U32(1).Record(u"one.txt", 0x20, Bytes("1"));
    image.U32(0).U32(0x20).U32(3).Raw(Bytes("zzz"));
    image.Record(u"two.txt", 0x20, Bytes("2"));
    image.Zeros(7);  // padding
    RecordingProgress progress;
    EXPECT_EQ(0, Extract(image, temp.path(), &progress));
    EXPECT_EQ(2u, progress.percents.size());
    EXPECT_EQ(Bytes("1"), ReadAll(temp / L"one.txt"));
    EXPECT_EQ(Bytes("2"), ReadAll(temp / L"two.txt"));
    EXPECT_EQ(2u, ListTree(temp.path()).size());
}

TEST(ExtractPackage, LongNamesUnderAFortyUnitFolderAreWrittenWhole) {
    TempFolder temp;
    std::wstring destination = temp.path() + L"\\";
    ASSERT_LT(destination.size(), 40u);
    destination += std::wstring(40 - destination.size(), L'd');
    ASSERT_EQ(40u, destination.size());
    const std::u16string name(200, u'n');
    EXPECT_EQ(0, Extract(ImageBuilder().U32(1).Record(name, 0x20, Bytes("long")), destination));
    EXPECT_EQ(Bytes("long"), ReadAll(destination + L"\\" + Widen(name)));
}

TEST(ExtractPackage, JoinedPathsBeyond260UnitsEndWithMinusTwo) {
    TempFolder temp;
    const std::u16string tooLong = std::u16string(120, u'a') + u"\\" + std::u16string(130, u'b');
    ImageBuilder image;
    image.U32(1).Record(u"first.txt", 0x20, Bytes("1"));
    image.Record(std::u16string(120, u'a'), 0x10, {});
    image.Record(tooLong, 0x20, Bytes("x"));
    image.Record(u"after.txt", 0x20, Bytes("2"));
    ASSERT_GT(temp.path().size() + 1 + tooLong.size(), 259u);
    RecordingProgress progress;
    EXPECT_EQ(-2, Extract(image, temp.path(), &progress));
    EXPECT_EQ(Bytes("1"), ReadAll(temp / L"first.txt")) << "what came before stays";
    EXPECT_FALSE(PathExists(temp / L"after.txt"));
    EXPECT_EQ(2u, progress.percents.size());
}

TEST(ExtractPackage, HostileNamesAreNotWrittenButStillReported) {
    TempFolder temp;
    const std::wstring destination = temp / L"dest";
    ImageBuilder image;
    image.U32(1);
    for (const char16_t* name : {u"..\\escaped.txt", u"sub\\..\\..\\up.txt", u"../slash.txt", u"\\rooted.txt",
                                 u"C:\\drive.txt", u"C:relative.txt", u"data.txt:stream", u"NUL", u"aux.txt",
                                 u"COM1.log", u"\\\\server\\share\\x.txt"})
        image.Record(name, 0x20, Bytes("bad"));
    image.Record(u"good.txt", 0x20, Bytes("good"));
    RecordingProgress progress;
    EXPECT_EQ(0, Extract(image, destination, &progress));
    EXPECT_EQ(12u, progress.percents.size()) << "one report per named record";
    EXPECT_EQ(100, progress.percents.back());
    EXPECT_EQ(Bytes("good"), ReadAll(destination + L"\\good.txt"));
    const auto inside = ListTree(destination);
    EXPECT_EQ(1u, inside.size());
    const auto around = ListTree(temp.path());
    EXPECT_EQ(2u, around.size()) << "only dest and dest\\good.txt below the temporary folder";
    for (const wchar_t* outside : {L"C:\\drive.txt", L"C:\\rooted.txt", L"C:\\relative.txt"})
        EXPECT_FALSE(PathExists(outside)) << outside;
    wchar_t temp2[MAX_PATH];
    GetTempPathW(MAX_PATH, temp2);
    EXPECT_FALSE(PathExists(std::wstring(temp2) + L"up.txt"));
    EXPECT_FALSE(PathExists(std::wstring(temp2) + L"escaped.txt"));
}

TEST(ExtractPackage, FieldsPastTheEndEndWithMinusTwoKeepingEarlierRecords) {
    TempFolder temp;
    ImageBuilder image;
    image.U32(1).Record(u"kept.txt", 0x20, Bytes("k"));
    image.U32(8).Utf16(u"cut.").U32(0x20).U32(1000).Raw(Bytes("short"));
    EXPECT_EQ(-2, Extract(image, temp.path()));
    EXPECT_EQ(Bytes("k"), ReadAll(temp / L"kept.txt"));
    EXPECT_FALSE(PathExists(temp / L"cut."));
}

TEST(ExtractPackage, ProgressRisesWithBytesAndAZeroReplyStops) {
    ImageBuilder image;
    image.U32(1);
    for (const char16_t* name : {u"f1", u"f2", u"f3"}) image.Record(name, 0x20, Pattern(1000, 1));
    {
        TempFolder temp;
        RecordingProgress progress;
        EXPECT_EQ(0, Extract(image, temp.path(), &progress));
        EXPECT_EQ((std::vector<int>{33, 66, 100}), progress.percents);
    }
    {
        TempFolder temp;
        RecordingProgress progress;
        progress.stopAt = 1;
        EXPECT_EQ(0, Extract(image, temp.path(), &progress));
        EXPECT_EQ((std::vector<int>{33}), progress.percents);
        EXPECT_TRUE(PathExists(temp / L"f1"));
        EXPECT_FALSE(PathExists(temp / L"f2"));
    }
}

TEST(DecompressHelper, ForwardsUnderItsIdOrGoesOnAlone) {
    RecordingCallback callback;
    callback.stopAtExtractReport = 2;
    CLPSDecompressHelper helper(&callback, IDS_EXTRACTING_PACKAGE);
    EXPECT_EQ(1, helper.OnExtractProgress(10));
    EXPECT_EQ(0, helper.OnExtractProgress(20));
    ASSERT_EQ(2u, callback.reports.size());
    EXPECT_EQ(IDS_EXTRACTING_PACKAGE, callback.reports[1].first);
    EXPECT_EQ(20, callback.reports[1].second);
    CLPSDecompressHelper alone(nullptr, IDS_EXTRACTING_PACKAGE);
    EXPECT_EQ(1, alone.OnExtractProgress(50));
}

}  // namespace
