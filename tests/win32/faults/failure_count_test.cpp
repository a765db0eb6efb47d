// The failure count of a run: what the tree copy, the version-aware copy and
// the extraction add to it, and what they must not count.
#include <windows.h>

#include <cstring>
#include <thread>

#include <gtest/gtest.h>

#include "app/install_sequence.h"
#include "foundation/file_tree.h"
#include "foundation/run_control.h"
#include "package/extract.h"
#include "tests/native/package/image_builder.h"
#include "tests/win32/app/test_support.h"

namespace {

TEST(FailureCount, CountsOnlyOnTheThreadThatOwnsIt) {
    CountFailure(nullptr);  // no run: nothing happens
    CWRunControl run;
    EXPECT_EQ(0, run.Failures());
    CountFailure(&run);
    CountFailure(&run);
    EXPECT_EQ(2, run.Failures());

    int otherCount = -1;
    std::thread other([&otherCount] {
        CountFailure(nullptr);  // a thread without a run of its own
        CWRunControl own;
        CountFailure(&own);
        otherCount = own.Failures();
    });
    other.join();
    EXPECT_EQ(1, otherCount);
    EXPECT_EQ(2, run.Failures()) << "another thread's failures reached this run";
}

TEST(FailureCount, AnInnerCounterGivesTheThreadBackTheOuterOne) {
    CWRunControl outer;
    {
        CWRunControl inner;
        CountFailure(&inner);
        EXPECT_EQ(1, inner.Failures());
        EXPECT_EQ(0, outer.Failures());
    }
    CountFailure(&outer);
    EXPECT_EQ(1, outer.Failures());
    { CWRunControl later; }
    EXPECT_EQ(1, outer.Failures());
}

TEST(FailureCount, DoesNotWrapAround) {
    CWRunControl run;
    for (int i = 0; i < 3; ++i) run.CountFailure();
    EXPECT_EQ(3, run.Failures());
}

// A file held open without sharing in this process: no copy can replace it.
class HeldFile {
public:
    explicit HeldFile(const std::wstring& path)
        : m_file(
              CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr)) {}
    ~HeldFile() {
        if (m_file != INVALID_HANDLE_VALUE) CloseHandle(m_file);
    }
    bool Held() const { return m_file != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_file;
};

class TreeCounting : public ::testing::Test {
protected:
    void SetUp() override {
        root = MakeTempFolder(L"count");
        source = Join(root, L"source");
        destination = Join(root, L"destination");
        ASSERT_TRUE(MakeFolders(Join(source, L"sub")));
        ASSERT_TRUE(WriteFileBytes(Join(source, L"a.txt"), "a"));
        ASSERT_TRUE(WriteFileBytes(Join(source, L"b.txt"), "b"));
        ASSERT_TRUE(WriteFileBytes(Join(source, L"sub\\c.txt"), "c"));
        ASSERT_TRUE(WriteFileBytes(Join(source, L"sub\\d.txt"), "d"));
    }
    void TearDown() override { RemoveTree(root); }
    std::wstring root, source, destination;
};

TEST_F(TreeCounting, ACompleteCopyIntoExistingFoldersCountsNothing) {
    ASSERT_TRUE(MakeFolders(Join(destination, L"sub")));
    ASSERT_TRUE(WriteFileBytes(Join(destination, L"a.txt"), "old"));
    CWRunControl run;
    EXPECT_NE(0, CopyFolderTree(destination.c_str(), source.c_str(), &run));
    EXPECT_EQ(0, run.Failures());
    EXPECT_EQ("a", ReadFileBytes(Join(destination, L"a.txt")));
    EXPECT_EQ("d", ReadFileBytes(Join(destination, L"sub\\d.txt")));
}

TEST_F(TreeCounting, AnEmptyOrMissingSourceIsNoFailureThoughTheResultIsZero) {
    const std::wstring empty = Join(root, L"empty");
    ASSERT_TRUE(MakeFolders(empty));
    ASSERT_TRUE(MakeFolders(destination));
    CWRunControl run;
    EXPECT_EQ(0, CopyFolderTree(destination.c_str(), empty.c_str(), &run));
    EXPECT_EQ(0, CopyComponentFolder(destination.c_str(), Join(root, L"missing").c_str(), &run));
    EXPECT_EQ(0, run.Failures());
}

TEST_F(TreeCounting, AHeldDestinationFileIsCountedAndTheOthersAreCopied) {
    ASSERT_TRUE(MakeFolders(Join(destination, L"sub")));
    HeldFile held(Join(destination, L"sub\\c.txt"));
    ASSERT_TRUE(held.Held());
    CWRunControl run;
    CopyFolderTree(destination.c_str(), source.c_str(), &run);
    EXPECT_EQ(1, run.Failures());
    EXPECT_EQ("a", ReadFileBytes(Join(destination, L"a.txt")));
    EXPECT_EQ("b", ReadFileBytes(Join(destination, L"b.txt")));
    EXPECT_EQ("d", ReadFileBytes(Join(destination, L"sub\\d.txt")));
}

TEST_F(TreeCounting, AFileWhereAFolderBelongsCountsTheFolderAndEachFileInIt) {
    ASSERT_TRUE(MakeFolders(destination));
    ASSERT_TRUE(WriteFileBytes(Join(destination, L"sub"), "in the way"));
    CWRunControl run;
    CopyFolderTree(destination.c_str(), source.c_str(), &run);
    EXPECT_EQ(3, run.Failures()) << "sub, sub\\c.txt, sub\\d.txt";
    EXPECT_EQ("in the way", ReadFileBytes(Join(destination, L"sub")));
}

TEST_F(TreeCounting, ADestinationWithoutItsParentCountsEveryEntry) {
    const std::wstring orphan = Join(root, L"no\\such\\parent");
    CWRunControl run;
    EXPECT_EQ(0, CopyFolderTree(orphan.c_str(), source.c_str(), &run));
    // The folder, a.txt, b.txt, sub, sub\c.txt, sub\d.txt.
    EXPECT_EQ(6, run.Failures());
    CWRunControl component;
    EXPECT_EQ(0, CopyComponentFolder(orphan.c_str(), source.c_str(), &component));
    EXPECT_EQ(6, component.Failures());
}

TEST_F(TreeCounting, TheVersionAwareCopyCountsAHeldFileButNotAKeptNewerOne) {
    const std::wstring versions = Widen(KVN_FAULTS_VERSION_DIR);
    const std::wstring library = L"runtime.dll";
    ASSERT_TRUE(CopyFileW(Join(versions, L"version_v1_0.dll").c_str(), Join(source, library).c_str(), FALSE));
    ASSERT_TRUE(MakeFolders(destination));
    ASSERT_TRUE(
        CopyFileW(Join(versions, L"version_v2_0.dll").c_str(), Join(destination, library).c_str(), FALSE));
    const std::string newer = ReadFileBytes(Join(destination, library));
    {
        CWRunControl run;
        CopyComponentFolder(destination.c_str(), source.c_str(), &run);
        EXPECT_EQ(0, run.Failures()) << "a newer installed file that is kept is no failure";
        EXPECT_EQ(newer, ReadFileBytes(Join(destination, library)));
        EXPECT_EQ("a", ReadFileBytes(Join(destination, L"a.txt")));
    }
    {
        HeldFile held(Join(destination, L"b.txt"));
        ASSERT_TRUE(held.Held());
        CWRunControl run;
        CopyComponentFolder(destination.c_str(), source.c_str(), &run);
        EXPECT_EQ(1, run.Failures());
    }
    {
        // A file where the destination folder belongs: the folder and every entry.
        const std::wstring blocked = Join(root, L"blocked");
        ASSERT_TRUE(WriteFileBytes(blocked, "x"));
        CWRunControl run;
        CopyComponentFolder(blocked.c_str(), source.c_str(), &run);
        EXPECT_EQ(1 + 6, run.Failures()) << "the folder, runtime.dll, a, b, sub, sub\\c, sub\\d";
    }
}

std::vector<uint8_t> Bytes(const char* text) {
    return std::vector<uint8_t>(text, text + std::strlen(text));
}

class ExtractCounting : public ::testing::Test {
protected:
    void SetUp() override { root = MakeTempFolder(L"extract"); }
    void TearDown() override { RemoveTree(root); }
    int Extract(const ImageBuilder& image, int& failures) {
        CWBlock package;
        Fill(package, image.bytes);
        CWRunControl run;
        const int status = ExtractPackage(package, nullptr, root.c_str(), &run);
        failures = run.Failures();
        return status;
    }
    std::wstring root;
};

TEST_F(ExtractCounting, AWholePackageOverExistingFoldersCountsNothing) {
    ASSERT_TRUE(MakeFolders(Join(root, L"Main")));
    ImageBuilder image;
    image.U32(1).Record(u"Main", 0x10, {}).Record(u"Main\\a.txt", 0x20, Bytes("a"));
    image.Record(u"Main\\Empty", 0x10, {}).Zeros(12);
    int failures = -1;
    EXPECT_EQ(0, Extract(image, failures));
    EXPECT_EQ(0, failures);
    EXPECT_EQ("a", ReadFileBytes(Join(root, L"Main\\a.txt")));
}

TEST_F(ExtractCounting, EachRecordThatIsNotWrittenCountsOnce) {
    ASSERT_TRUE(WriteFileBytes(Join(root, L"Taken"), "a file where a folder belongs"));
    ASSERT_TRUE(MakeFolders(Join(root, L"Busy")));
    HeldFile held(Join(root, L"Busy\\held.txt"));
    ASSERT_TRUE(held.Held());
    ImageBuilder image;
    image.U32(1);
    image.Record(u"Missing\\orphan.txt", 0x20, Bytes("no folder record before it"));
    image.Record(u"Taken", 0x10, {});
    image.Record(u"Busy\\held.txt", 0x20, Bytes("held"));
    image.Record(u"..\\escaped.txt", 0x20, Bytes("hostile"));
    image.Record(u"NUL", 0x20, Bytes("device"));
    image.Record(u"good.txt", 0x20, Bytes("good"));
    int failures = -1;
    EXPECT_EQ(0, Extract(image, failures)) << "no record fault: the extraction goes on";
    EXPECT_EQ(5, failures);
    EXPECT_EQ("good", ReadFileBytes(Join(root, L"good.txt")));
    EXPECT_FALSE(PathExists(Join(root, L"Missing")));
}

}  // namespace
