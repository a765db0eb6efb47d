// The version-aware copy of one package folder level.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "app/install_sequence.h"
#include "foundation/registry_version.h"
#include "foundation/run_control.h"
#include "tests/win32/app/test_support.h"

namespace {

const wchar_t kPlainText[] = L"<text>";  // a file without a version resource that is no library
const char kPlainTextBytes[] = "plain text, no version";

std::wstring Library(const std::wstring& tag) {
    return Join(ProgramFolder(), L"version_" + tag + L".dll");
}

std::string SourceBytes(const std::wstring& kind) {
    if (kind == kPlainText) return kPlainTextBytes;
    return ReadFileBytes(Library(kind));
}

bool PlaceFile(const std::wstring& kind, const std::wstring& path) {
    if (kind == kPlainText) return WriteFileBytes(path, kPlainTextBytes);
    return CopyFileW(Library(kind).c_str(), path.c_str(), FALSE) != 0;
}

// A package folder and an installation folder below a fresh temporary
// folder, which goes with everything in it (paths beyond MAX_PATH too).
class ComponentCopy : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(MakeFolders(source)); }
    TempFolder folder{L"copy"};
    const std::wstring root = folder.path();
    const std::wstring source = Join(root, L"package");
    const std::wstring destination = Join(root, L"installed");
};

TEST_F(ComponentCopy, TestLibrariesCarryTheirVersions) {
    EXPECT_EQ(0x0001000000000000ull, GetFileVersion(Library(L"v1_0").c_str()));
    EXPECT_EQ(0x0001000000000000ull, GetFileVersion(Library(L"v1_0b").c_str()));
    EXPECT_EQ(0x0002000000000000ull, GetFileVersion(Library(L"v2_0").c_str()));
    EXPECT_EQ(0x8000000000000000ull, GetFileVersion(Library(L"v32768_0").c_str()));
    EXPECT_EQ(0xFFFF000100000000ull, GetFileVersion(Library(L"v65535_1").c_str()));
    EXPECT_EQ(0u, GetFileVersion(Library(L"none").c_str()));
    EXPECT_NE(ReadFileBytes(Library(L"v1_0")), ReadFileBytes(Library(L"v1_0b")));
}

struct VersionCase {
    const char* label;
    const wchar_t* installed;  // nullptr: no installed file yet
    const wchar_t* package;
    bool replaced;
    int result;
};

std::ostream& operator<<(std::ostream& out, const VersionCase& c) {
    return out << c.label;
}

class VersionTable : public ComponentCopy, public ::testing::WithParamInterface<VersionCase> {};

TEST_P(VersionTable, KeepsOnlyANewerInstalledFile) {
    const VersionCase& c = GetParam();
    const std::wstring installedFile = Join(destination, L"runtime.dll");
    ASSERT_TRUE(PlaceFile(c.package, Join(source, L"runtime.dll")));
    if (c.installed) {
        ASSERT_TRUE(MakeFolders(destination));
        ASSERT_TRUE(PlaceFile(c.installed, installedFile));
    }
    EXPECT_EQ(c.result, CopyComponentFolder(destination.c_str(), source.c_str()));
    const std::wstring expected = c.replaced ? c.package : c.installed;
    EXPECT_EQ(SourceBytes(expected), ReadFileBytes(installedFile));
}

// The result of a run is that of its last action: the folder creation (0 when
// the folder existed) unless a file was copied.
INSTANTIATE_TEST_SUITE_P(
    Versions, VersionTable,
    ::testing::Values(VersionCase{"InstalledNewerIsKept", L"v2_0", L"v1_0", false, 0},
                      VersionCase{"EqualIsReplaced", L"v1_0", L"v1_0b", true, 1},
                      VersionCase{"InstalledOlderIsReplaced", L"v1_0", L"v2_0", true, 1},
                      VersionCase{"InstalledUnversionedLibraryIsReplaced", L"none", L"v1_0", true, 1},
                      VersionCase{"InstalledPlainFileIsReplaced", kPlainText, L"v2_0", true, 1},
                      VersionCase{"PackageUnversionedReplacesNewer", L"v2_0", L"none", true, 1},
                      VersionCase{"PackagePlainFileReplacesNewer", L"v2_0", kPlainText, true, 1},
                      VersionCase{"HighMajorPackageReplacesOne", L"v1_0", L"v32768_0", true, 1},
                      VersionCase{"HighMajorInstalledIsKeptOverOne", L"v32768_0", L"v1_0", false, 0},
                      VersionCase{"TopVersionPackageReplacesHighMajor", L"v32768_0", L"v65535_1", true, 1},
                      VersionCase{"TopVersionInstalledIsKept", L"v65535_1", L"v32768_0", false, 0},
                      VersionCase{"NewFileIsCopied", nullptr, L"v1_0", true, 1}),
    [](const ::testing::TestParamInfo<VersionCase>& info) { return std::string(info.param.label); });

TEST_F(ComponentCopy, FilesInSubfoldersAreAlwaysReplaced) {
    ASSERT_TRUE(MakeFolders(Join(source, L"sub\\deeper")));
    ASSERT_TRUE(PlaceFile(L"v1_0", Join(source, L"sub\\runtime.dll")));
    ASSERT_TRUE(PlaceFile(L"v1_0", Join(source, L"sub\\deeper\\runtime.dll")));
    ASSERT_TRUE(MakeFolders(Join(destination, L"sub\\deeper")));
    ASSERT_TRUE(PlaceFile(L"v2_0", Join(destination, L"sub\\runtime.dll")));
    ASSERT_TRUE(PlaceFile(L"v65535_1", Join(destination, L"sub\\deeper\\runtime.dll")));

    EXPECT_NE(0, CopyComponentFolder(destination.c_str(), source.c_str()));
    EXPECT_EQ(SourceBytes(L"v1_0"), ReadFileBytes(Join(destination, L"sub\\runtime.dll")));
    EXPECT_EQ(SourceBytes(L"v1_0"), ReadFileBytes(Join(destination, L"sub\\deeper\\runtime.dll")));
}

TEST_F(ComponentCopy, MixedLevelKeepsTheNewerFileAndCopiesTheRest) {
    ASSERT_TRUE(PlaceFile(L"v1_0", Join(source, L"a.dll")));
    ASSERT_TRUE(WriteFileBytes(Join(source, L"notes.txt"), "new notes"));
    ASSERT_TRUE(MakeFolders(Join(source, L"docs")));
    ASSERT_TRUE(WriteFileBytes(Join(source, L"docs\\page.html"), "<p>page</p>"));
    ASSERT_TRUE(MakeFolders(destination));
    ASSERT_TRUE(PlaceFile(L"v2_0", Join(destination, L"a.dll")));
    ASSERT_TRUE(WriteFileBytes(Join(destination, L"notes.txt"), "old notes"));
    ASSERT_TRUE(WriteFileBytes(Join(destination, L"mine.txt"), "left alone"));

    CopyComponentFolder(destination.c_str(), source.c_str());
    EXPECT_EQ(SourceBytes(L"v2_0"), ReadFileBytes(Join(destination, L"a.dll")));
    EXPECT_EQ("new notes", ReadFileBytes(Join(destination, L"notes.txt")));
    EXPECT_EQ("<p>page</p>", ReadFileBytes(Join(destination, L"docs\\page.html")));
    EXPECT_EQ("left alone", ReadFileBytes(Join(destination, L"mine.txt")));
}

TEST_F(ComponentCopy, MissingPackageFolderLeavesAnEmptyDestination) {
    const std::wstring missing = Join(root, L"not-in-package");
    EXPECT_EQ(1, CopyComponentFolder(destination.c_str(), missing.c_str()));
    EXPECT_TRUE(IsFolder(destination));
    EXPECT_TRUE(ListFolder(destination).empty());
    // Again: the folder exists, nothing was copied, so the result is 0.
    EXPECT_EQ(0, CopyComponentFolder(destination.c_str(), missing.c_str()));
}

TEST_F(ComponentCopy, DestinationWithoutParentCopiesNothing) {
    ASSERT_TRUE(WriteFileBytes(Join(source, L"a.txt"), "a"));
    const std::wstring orphan = Join(root, L"no-parent\\installed");
    EXPECT_EQ(0, CopyComponentFolder(orphan.c_str(), source.c_str()));
    EXPECT_FALSE(PathExists(Join(root, L"no-parent")));
}

// A cancelled run ends the copy between two entries: the folder is made,
// nothing goes into it; the same run going on copies everything.
TEST_F(ComponentCopy, CopiesNothingOnceTheRunIsStopped) {
    ASSERT_TRUE(WriteFileBytes(Join(source, L"a.txt"), "a"));
    ASSERT_TRUE(MakeFolders(Join(source, L"sub")));
    std::atomic<int> keepGoing(0);
    CWRunControl run(&keepGoing);
    EXPECT_EQ(1, CopyComponentFolder(destination.c_str(), source.c_str(), &run));
    EXPECT_TRUE(ListFolder(destination).empty());
    keepGoing.store(1);
    EXPECT_NE(0, CopyComponentFolder(destination.c_str(), source.c_str(), &run));
    EXPECT_EQ((std::vector<std::wstring>{L"a.txt", L"sub"}), ListFolder(destination));
}

TEST_F(ComponentCopy, EmptyFoldersAreRefused) {
    ASSERT_TRUE(WriteFileBytes(Join(source, L"a.txt"), "a"));
    EXPECT_EQ(0, CopyComponentFolder(L"", source.c_str()));
    EXPECT_EQ(0, CopyComponentFolder(destination.c_str(), L""));
    EXPECT_EQ(0, CopyComponentFolder(nullptr, source.c_str()));
    EXPECT_EQ(0, CopyComponentFolder(destination.c_str(), nullptr));
    EXPECT_FALSE(PathExists(destination));
}

// Entry paths of exactly 259 characters are copied; one more and the entry
// is skipped and counts as a failed copy, with nothing written anywhere.
TEST_F(ComponentCopy, EntryPathsBeyondTheBufferAreSkipped) {
    const std::wstring longSource = Join(root, std::wstring(200 - root.size() - 1, L's'));
    ASSERT_EQ(200u, longSource.size());
    ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + longSource).c_str(), nullptr));
    const std::wstring fits(259 - 201, L'f');     // source entry of 259 characters
    const std::wstring tooLong(260 - 201, L'g');  // source entry of 260 characters
    ASSERT_TRUE(WriteFileBytes(L"\\\\?\\" + Join(longSource, fits), "fits"));
    ASSERT_TRUE(WriteFileBytes(L"\\\\?\\" + Join(longSource, tooLong), "too long"));

    CopyComponentFolder(destination.c_str(), longSource.c_str());
    EXPECT_EQ("fits", ReadFileBytes(Join(destination, fits)));
    EXPECT_EQ((std::vector<std::wstring>{fits}), ListFolder(destination));

    // Only the over-long entry: the run fails.
    const std::wstring onlyLong = Join(root, std::wstring(200 - root.size() - 1, L't'));
    ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + onlyLong).c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(L"\\\\?\\" + Join(onlyLong, tooLong), "too long"));
    const std::wstring second = Join(root, L"second");
    EXPECT_EQ(0, CopyComponentFolder(second.c_str(), onlyLong.c_str()));
    EXPECT_TRUE(ListFolder(second).empty());
}

TEST_F(ComponentCopy, DestinationEntriesBeyondTheBufferAreSkipped) {
    ASSERT_TRUE(WriteFileBytes(Join(source, L"runtime.dll"), "short name"));
    // destination + "\runtime.dll" = 260 characters.
    const std::wstring longDestination = Join(root, std::wstring(260 - 12 - root.size() - 1, L'd'));
    ASSERT_EQ(248u, longDestination.size());
    EXPECT_EQ(0, CopyComponentFolder(longDestination.c_str(), source.c_str()));
    EXPECT_TRUE(ListFolder(L"\\\\?\\" + longDestination).empty());
}

}  // namespace
