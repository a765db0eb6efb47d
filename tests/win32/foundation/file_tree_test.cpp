// Folder creation, tree copy and delete, block writing and the diagnostics,
// on the real file system of the Wine prefix.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cwchar>
#include <string>
#include <vector>

#include "foundation/block.h"
#include "foundation/debug_trace.h"
#include "foundation/file_compare.h"
#include "foundation/file_tree.h"
#include "foundation/folder_walk.h"
#include "foundation/run_control.h"
#include "foundation/path_util.h"
#include "tests/win32/support/files.h"
#include "tests/win32/support/paths.h"
#include "tests/win32/support/text.h"

namespace {

void WriteText(const std::wstring& path, const std::string& text, DWORD attributes = 0) {
    ASSERT_TRUE(WriteFileBytes(path, text)) << "cannot create test file";
    if (attributes) SetFileAttributesW(path.c_str(), attributes);
}

std::string ReadText(const std::wstring& path) {
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    std::string text(4096, '\0');
    DWORD read = 0;
    ReadFile(file, &text[0], DWORD(text.size()), &read, nullptr);
    CloseHandle(file);
    text.resize(read);
    return text;
}

std::vector<std::wstring>& Traces() {
    static std::vector<std::wstring> lines;
    return lines;
}

void RecordTrace(const wchar_t* line) {
    Traces().push_back(line);
}

// Each test works in a fresh folder under the temporary folder; traces are captured.
class FileTree : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        // A folder left by an earlier run of the same process id is passed over.
        const std::wstring base =
            std::wstring(temp) + L"kvn-tree-" + std::to_wstring(GetCurrentProcessId()) + L"-";
        do root = base + std::to_wstring(++counter);
        while (!CreateDirectoryW(root.c_str(), nullptr) && counter < 10000);
        ASSERT_TRUE(IsFolder(root));
        Traces().clear();
        previous = SetTraceSink(RecordTrace);
    }
    void TearDown() override {
        SetTraceSink(previous);
        DeleteFolderTree(root.c_str());
    }
    std::wstring At(const std::wstring& relative) const { return root + L"\\" + relative; }

    std::wstring root;
    TraceSink previous = nullptr;
    static int counter;
};
int FileTree::counter = 0;

TEST_F(FileTree, CreateFolderPathCreatesMissingParents) {
    ASSERT_TRUE(CreateDirectoryW(At(L"A").c_str(), nullptr));
    EXPECT_NE(CreateFolderPath(At(L"A\\B\\C").c_str()), 0);
    EXPECT_TRUE(IsFolder(At(L"A\\B\\C")));
    EXPECT_EQ(CreateFolderPath(At(L"A\\B\\C").c_str()), 0) << "innermost folder existed";
    EXPECT_TRUE(IsFolder(At(L"A\\B\\C")));

    EXPECT_NE(CreateFolderPath((root + L"\\\\A\\\\\\D\\").c_str()), 0);
    EXPECT_TRUE(IsFolder(At(L"A\\D")));

    EXPECT_EQ(CreateFolderPath(nullptr), 0);
    EXPECT_EQ(CreateFolderPath(L""), 0);
    EXPECT_EQ(CreateFolderPath(L"\\\\"), 0);
}

TEST_F(FileTree, CreateFolderPathRefusesOverlongPath) {
    const std::wstring longPath = At(std::wstring(270 - root.size(), L'x'));
    EXPECT_EQ(CreateFolderPath(longPath.c_str()), 0);
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW(At(L"x*").c_str(), &entry);
    EXPECT_EQ(find, INVALID_HANDLE_VALUE) << "a cut-down folder was created";
    if (find != INVALID_HANDLE_VALUE) FindClose(find);
}

TEST_F(FileTree, CopyFolderTreeCopiesNestedTreeAndOverwrites) {
    CreateFolderPath(At(L"src\\sub\\deeper").c_str());
    WriteText(At(L"src\\a.txt"), "alpha");
    WriteText(At(L"src\\sub\\b.txt"), "beta");
    WriteText(At(L"src\\sub\\deeper\\c.bin"), std::string("\0\1\2", 3));
    CreateFolderPath(At(L"dst\\sub").c_str());
    WriteText(At(L"dst\\sub\\b.txt"), "older and longer contents");
    WriteText(At(L"dst\\extra.txt"), "stays");

    EXPECT_NE(CopyFolderTree(At(L"dst").c_str(), At(L"src").c_str()), 0);
    EXPECT_EQ(ReadText(At(L"dst\\a.txt")), "alpha");
    EXPECT_EQ(ReadText(At(L"dst\\sub\\b.txt")), "beta");
    EXPECT_EQ(ReadText(At(L"dst\\sub\\deeper\\c.bin")), std::string("\0\1\2", 3));
    EXPECT_EQ(ReadText(At(L"dst\\extra.txt")), "stays");
    EXPECT_EQ(ReadText(At(L"src\\a.txt")), "alpha");
}

TEST_F(FileTree, CopyFolderTreeStopsBetweenFilesOnceTheRunIsCancelled) {
    CreateFolderPath(At(L"src\\sub").c_str());
    for (int i = 0; i < 20; ++i) WriteText(At(L"src\\f" + std::to_wstring(i) + L".txt"), "x");
    WriteText(At(L"src\\sub\\inner.txt"), "y");

    std::atomic<int> keepGoing(1);
    {
        CWRunControl run(&keepGoing);
        EXPECT_NE(CopyFolderTree(At(L"all").c_str(), At(L"src").c_str(), &run), 0);
    }
    EXPECT_EQ(ReadText(At(L"all\\f19.txt")), "x");
    EXPECT_EQ(ReadText(At(L"all\\sub\\inner.txt")), "y");

    keepGoing.store(0);
    {
        CWRunControl run(&keepGoing);
        EXPECT_TRUE(StopRequested(&run));
        CopyFolderTree(At(L"none").c_str(), At(L"src").c_str(), &run);
    }
    // The folder of the level is made; no entry below it is copied.
    EXPECT_TRUE(IsFolder(At(L"none")));
    for (int i = 0; i < 20; ++i) EXPECT_FALSE(PathExists(At(L"none\\f" + std::to_wstring(i) + L".txt")));
    EXPECT_FALSE(PathExists(At(L"none\\sub")));
    // Without a run control nothing is ever asked to stop.
    EXPECT_FALSE(StopRequested(nullptr));
}

TEST_F(FileTree, CopyFolderTreeResultIsTheLastAction) {
    // Empty source: the result is the creation of the destination.
    CreateFolderPath(At(L"empty").c_str());
    EXPECT_NE(CopyFolderTree(At(L"new").c_str(), At(L"empty").c_str()), 0);
    EXPECT_EQ(CopyFolderTree(At(L"new").c_str(), At(L"empty").c_str()), 0);
    // A missing source behaves the same.
    EXPECT_NE(CopyFolderTree(At(L"new2").c_str(), At(L"missing").c_str()), 0);
    EXPECT_TRUE(IsFolder(At(L"new2")));
    // One file into an existing destination: the copy decides.
    CreateFolderPath(At(L"one").c_str());
    WriteText(At(L"one\\f.txt"), "fresh");
    EXPECT_NE(CopyFolderTree(At(L"new").c_str(), At(L"one").c_str()), 0);
    // The same file held open at the destination: the copy fails, and so does the result.
    WriteText(At(L"one\\f.txt"), "newer");
    HANDLE held = CreateFileW(At(L"new\\f.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(CopyFolderTree(At(L"new").c_str(), At(L"one").c_str()), 0);
    CloseHandle(held);
    EXPECT_EQ(ReadText(At(L"new\\f.txt")), "fresh");
    // Without a destination nothing is done at all.
    EXPECT_EQ(CopyFolderTree(nullptr, At(L"one").c_str()), 0);
}

TEST_F(FileTree, CopyFolderTreeSkipsEntriesWhosePathWouldNotFit) {
    CreateFolderPath(At(L"s").c_str());
    WriteText(At(L"s\\long-name-of-a-file.txt"), "x");
    // Destination folder so long that destination\entry exceeds 259 units.
    const std::wstring destination = At(std::wstring(250 - root.size(), L'd'));
    ASSERT_EQ(destination.size(), 251u);
    EXPECT_EQ(CopyFolderTree(destination.c_str(), At(L"s").c_str()), 0);
    ASSERT_TRUE(IsFolder(destination));
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((destination + L"\\*").c_str(), &entry);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    int entries = 0;
    do {
        if (wcscmp(entry.cFileName, L".") && wcscmp(entry.cFileName, L"..")) ++entries;
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    EXPECT_EQ(entries, 0) << "a cut-down name was written";
}

TEST_F(FileTree, DeleteFolderTreeRemovesReadOnlyFilesAndReportsOnlyTheTop) {
    CreateFolderPath(At(L"t\\sub\\deeper").c_str());
    WriteText(At(L"t\\ro.txt"), "r", FILE_ATTRIBUTE_READONLY);
    WriteText(At(L"t\\hidden.txt"), "h", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    WriteText(At(L"t\\sub\\deeper\\ro.txt"), "r", FILE_ATTRIBUTE_READONLY);
    EXPECT_NE(DeleteFolderTree(At(L"t").c_str()), 0);
    EXPECT_FALSE(PathExists(At(L"t")));
    EXPECT_TRUE(Traces().empty());

    EXPECT_EQ(DeleteFolderTree(At(L"t").c_str()), 0) << "missing folder";
    EXPECT_EQ(DeleteFolderTree(nullptr), 0);
}

TEST_F(FileTree, DeleteFolderTreeLeavesAFileItCannotDeleteAndItsFolders) {
    CreateFolderPath(At(L"t\\sub").c_str());
    WriteText(At(L"t\\sub\\busy.txt"), "busy");
    WriteText(At(L"t\\free.txt"), "free");
    HANDLE busy =
        CreateFileW(At(L"t\\sub\\busy.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(busy, INVALID_HANDLE_VALUE);
    EXPECT_EQ(DeleteFolderTree(At(L"t").c_str()), 0);
    CloseHandle(busy);
    EXPECT_TRUE(PathExists(At(L"t\\sub\\busy.txt")));
    EXPECT_FALSE(PathExists(At(L"t\\free.txt")));

    const std::vector<std::wstring> expected = {
        L"Unable to delete file: " + At(L"t\\sub\\busy.txt") + L", \nGetLastError() returned 32\n",
        L"Unable to delete folder: " + At(L"t\\sub") + L".\n GetLastError() retruns: 0x91\n",
        L"Unable to delete folder: " + At(L"t") + L".\n GetLastError() retruns: 0x91\n"};
    EXPECT_EQ(Traces(), expected);
}

TEST_F(FileTree, CopyDiagnosticsAreTheExactTexts) {
    CreateFolderPath(At(L"empty").c_str());
    CreateFolderPath(At(L"dst").c_str());
    EXPECT_EQ(CopyFolderTree(At(L"dst").c_str(), At(L"empty").c_str()), 0);
    const std::vector<std::wstring> expected = {
        L"Unable to create destination folder: " + At(L"dst") + L".\n GetLastError() retruns: 183\n",
        L"Unable to copy folder: " + At(L"empty") + L".\n GetLastError() retruns: 183\n"};
    EXPECT_EQ(Traces(), expected);
}

// What the level rules of the tests below were called with.
struct RuleCall {
    std::wstring destination;
    std::wstring source;
    bool subfolder;
};

std::vector<RuleCall>& RuleCalls() {
    static std::vector<RuleCall> calls;
    return calls;
}

// Files named "keep*" are kept, "fail*" fail with ERROR_ACCESS_DENIED, others are put in place.
CWEntryOutcome RecordFile(const wchar_t* destination, const wchar_t* source, CWRunControl*) {
    RuleCalls().push_back({destination, source, false});
    const wchar_t* name = wcsrchr(source, L'\\') + 1;
    if (wcsncmp(name, L"keep", 4) == 0) return CWEntryOutcome::Kept;
    if (wcsncmp(name, L"fail", 4) == 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return CWEntryOutcome::Failed;
    }
    return CWEntryOutcome::InPlace;
}

CWEntryOutcome RecordSubfolder(const wchar_t* destination, const wchar_t* source, CWRunControl*) {
    RuleCalls().push_back({destination, source, true});
    return CWEntryOutcome::Failed;
}

TEST_F(FileTree, FolderEntriesPassOverTheDotsAndEndForGood) {
    CreateFolderPath(At(L"level\\sub").c_str());
    WriteText(At(L"level\\a.txt"), "a");
    WriteText(At(L"level\\b.txt"), "b");
    std::vector<std::wstring> names;
    CWFolderEntries entries(At(L"level").c_str());
    while (entries.Next())
        names.push_back(entries.Entry().cFileName + std::wstring(entries.EntryIsFolder() ? L"\\" : L""));
    EXPECT_FALSE(entries.Next());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::wstring>{L"a.txt", L"b.txt", L"sub\\"}));

    EXPECT_FALSE(CWFolderEntries(nullptr).Next());
    EXPECT_FALSE(CWFolderEntries(L"").Next());
    EXPECT_FALSE(CWFolderEntries(At(L"missing").c_str()).Next());
}

TEST_F(FileTree, CopyFolderLevelHandsEachEntryToItsRuleAndCountsFailedFiles) {
    CreateFolderPath(At(L"src\\sub").c_str());
    WriteText(At(L"src\\copy.txt"), "c");
    WriteText(At(L"src\\fail.txt"), "f");
    WriteText(At(L"src\\keep.txt"), "k");
    RuleCalls().clear();
    CWRunControl run;
    const CWLevelRules rules = {RecordFile, RecordSubfolder};
    CopyFolderLevel(At(L"dst").c_str(), At(L"src").c_str(), rules, &run);
    EXPECT_TRUE(IsFolder(At(L"dst")));
    ASSERT_EQ(RuleCalls().size(), 4u);
    for (const RuleCall& call : RuleCalls()) {
        const std::wstring name = call.source.substr(call.source.rfind(L'\\') + 1);
        EXPECT_EQ(call.source, At(L"src\\" + name));
        EXPECT_EQ(call.destination, At(L"dst\\" + name));
        EXPECT_EQ(call.subfolder, name == L"sub");
    }
    EXPECT_EQ(run.Failures(), 1) << "fail.txt only: a subfolder's rule counts its own";

    // A stopped run makes the folder and asks no rule.
    std::atomic<int> keepGoing(0);
    CWRunControl stopped(&keepGoing);
    RuleCalls().clear();
    EXPECT_NE(CopyFolderLevel(At(L"none").c_str(), At(L"src").c_str(), rules, &stopped), 0);
    EXPECT_TRUE(IsFolder(At(L"none")));
    EXPECT_TRUE(RuleCalls().empty());
}

// A kept entry leaves the result as it was; the closing line names the error
// of the action that failed (not the enumeration's "no more files").
TEST_F(FileTree, CopyFolderLevelResultAndClosingLine) {
    CreateFolderPath(At(L"keep").c_str());
    WriteText(At(L"keep\\keep.txt"), "k");
    CreateFolderPath(At(L"fail").c_str());
    WriteText(At(L"fail\\fail.txt"), "f");
    const CWLevelRules rules = {RecordFile, RecordSubfolder};
    EXPECT_EQ(CopyFolderLevel(At(L"new").c_str(), At(L"keep").c_str(), rules, nullptr), 1);
    EXPECT_EQ(CopyFolderLevel(At(L"new").c_str(), At(L"keep").c_str(), rules, nullptr), 0);

    const std::wstring closing = L"Unable to copy folder: " + At(L"fail") + L".\n GetLastError() retruns: ";
    Traces().clear();
    EXPECT_EQ(CopyFolderLevel(At(L"new").c_str(), At(L"fail").c_str(), rules, nullptr), 0);
    EXPECT_EQ(Traces().back(), closing + L"5\n");
}

TEST(RunControl, FollowsTheCallersFlagAndMarksTheCleanup) {
    std::atomic<int> keepGoing(1);
    std::atomic<int> cleaningUp(0);
    CWRunControl run(&keepGoing, &cleaningUp);
    EXPECT_FALSE(StopRequested(&run));
    keepGoing.store(0);
    EXPECT_TRUE(StopRequested(&run));
    run.MarkCleaningUp();
    EXPECT_EQ(cleaningUp.load(), 1);
    CWRunControl alone;  // no flags: never asked to stop, the mark goes nowhere
    alone.MarkCleaningUp();
    EXPECT_FALSE(alone.StopRequested());
}

TEST_F(FileTree, WriteBlockToFileCreatesOrReplaces) {
    CWBlock empty;
    EXPECT_EQ(WriteBlockToFile(At(L"empty.bin").c_str(), empty), 0);
    EXPECT_EQ(ReadText(At(L"empty.bin")), "");

    WriteText(At(L"data.bin"), "a much longer old content");
    CWBlock block;
    block.Append("new\0bytes", 9);
    EXPECT_EQ(WriteBlockToFile(At(L"data.bin").c_str(), block), 0);
    EXPECT_EQ(ReadText(At(L"data.bin")), std::string("new\0bytes", 9));

    EXPECT_EQ(WriteBlockToFile(nullptr, block), -1);
    EXPECT_EQ(WriteBlockToFile(At(L"missing\\x.bin").c_str(), block), -1);
    WriteText(At(L"held.bin"), "old");
    HANDLE held = CreateFileW(At(L"held.bin").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(WriteBlockToFile(At(L"held.bin").c_str(), block), -1);
    CloseHandle(held);
    EXPECT_EQ(ReadText(At(L"held.bin")), "old");
}

TEST_F(FileTree, WriteBytesToFileCreatesAnewOnlyWhereNothingIsAndTellsTheAttributes) {
    DWORD attributes = 0;
    EXPECT_EQ(WriteBytesToFile(At(L"new.bin").c_str(), "abc", 3, CREATE_NEW, &attributes), 0);
    EXPECT_EQ(ReadText(At(L"new.bin")), "abc");
    EXPECT_EQ(attributes, GetFileAttributesW(At(L"new.bin").c_str()));

    EXPECT_EQ(WriteBytesToFile(At(L"new.bin").c_str(), "xyz", 3, CREATE_NEW, &attributes), -1);
    EXPECT_EQ(attributes, DWORD(INVALID_FILE_ATTRIBUTES));
    EXPECT_EQ(ReadText(At(L"new.bin")), "abc") << "nothing in the way is touched";

    WriteText(At(L"old.bin"), "old", FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(WriteBytesToFile(At(L"old.bin").c_str(), "", 0, CREATE_NEW), -1);
    EXPECT_EQ(ReadText(At(L"old.bin")), "old");
}

// A file that cannot go is left as the reset-then-delete order leaves it:
// every attribute cleared, whatever it had when found.
TEST_F(FileTree, DeleteFolderTreeLeavesAHeldFileWithItsAttributesReset) {
    CreateFolderPath(At(L"t").c_str());
    WriteText(At(L"t\\held.txt"), "held", FILE_ATTRIBUTE_HIDDEN);
    WriteText(At(L"t\\held-ro.txt"), "held", FILE_ATTRIBUTE_READONLY);
    HANDLE held = CreateFileW(At(L"t\\held.txt").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE heldReadOnly = CreateFileW(At(L"t\\held-ro.txt").c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    ASSERT_NE(heldReadOnly, INVALID_HANDLE_VALUE);
    EXPECT_EQ(DeleteFolderTree(At(L"t").c_str()), 0);
    const DWORD heldAttributes = GetFileAttributesW(At(L"t\\held.txt").c_str());
    const DWORD heldReadOnlyAttributes = GetFileAttributesW(At(L"t\\held-ro.txt").c_str());
    CloseHandle(held);
    CloseHandle(heldReadOnly);
    WriteText(At(L"reset.txt"), "reset", FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(SetFileAttributesW(At(L"reset.txt").c_str(), FILE_ATTRIBUTE_NORMAL));
    const DWORD reset = GetFileAttributesW(At(L"reset.txt").c_str());
    EXPECT_EQ(heldAttributes, reset);
    EXPECT_EQ(heldReadOnlyAttributes, reset);
    EXPECT_EQ(Traces().size(), 3u);  // the two files and the folder
}

// Equal only with every byte (a difference past the first read chunk
// too) and the copied attributes; what cannot be read never counts as equal.
TEST_F(FileTree, FileEqualsCopyOfComparesEveryByteAndTheCopiedAttributes) {
    std::string large(200 * 1024 + 7, 'x');
    WriteText(At(L"source"), large, FILE_ATTRIBUTE_READONLY);
    WriteText(At(L"same"), large, FILE_ATTRIBUTE_READONLY);
    WriteText(At(L"writable"), large);
    large.back() = 'y';
    WriteText(At(L"last byte"), large, FILE_ATTRIBUTE_READONLY);
    WriteText(At(L"shorter"), large.substr(1), FILE_ATTRIBUTE_READONLY);
    WriteText(At(L"empty"), "");
    WriteText(At(L"also empty"), "");
    CreateFolderPath(At(L"folder").c_str());
    EXPECT_TRUE(FileEqualsCopyOf(At(L"same").c_str(), At(L"source").c_str()));
    EXPECT_TRUE(FileEqualsCopyOf(At(L"empty").c_str(), At(L"also empty").c_str()));
    for (const wchar_t* other : {L"writable", L"last byte", L"shorter", L"folder", L"missing"})
        EXPECT_FALSE(FileEqualsCopyOf(At(other).c_str(), At(L"source").c_str())) << Narrow(other);
    HANDLE held = CreateFileW(At(L"same").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(FileEqualsCopyOf(At(L"same").c_str(), At(L"source").c_str())) << "held without sharing";
    CloseHandle(held);
}

// The tree prepared on the host side: tree\link and tree\sub\deeplink point to
// target, and Wine presents them as directory reparse points. Wine cannot remove
// such a link itself (its removal goes through the link), so what is checked is
// that nothing behind a link is touched while the tree's own files go.
TEST_F(FileTree, DeleteFolderTreeNeverEntersAHostDirectoryLink) {
    const std::wstring links = ProgramFolder() + L"\\tree-fixture\\links";
    const DWORD linkAttributes = GetFileAttributesW((links + L"\\tree\\link").c_str());
    if (linkAttributes == INVALID_FILE_ATTRIBUTES || !(linkAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        GTEST_SKIP() << "the host-side link tree is missing (made by the test fixture)";

    DeleteFolderTree((links + L"\\tree").c_str());
    EXPECT_EQ(ReadText(links + L"\\target\\keep.txt"), "keep");
    EXPECT_EQ(ReadText(links + L"\\target\\inner\\inner.txt"), "inner");
    EXPECT_FALSE(PathExists(links + L"\\tree\\own.txt"));
    EXPECT_FALSE(PathExists(links + L"\\tree\\sub\\own.txt"));
}

// Drive K: is a scratch folder mapped by the test fixture. An empty path means
// the root of the current drive to Windows; no operation may touch it.
class CurrentDriveRoot : public FileTree {
protected:
    void SetUp() override {
        FileTree::SetUp();
        if (ReadText(L"K:\\marker.txt") != "marker")
            GTEST_SKIP() << "drive K: is not mapped (made by the test fixture)";
        GetCurrentDirectoryW(MAX_PATH, saved);
        ASSERT_TRUE(SetCurrentDirectoryW(L"K:\\cwd"));
    }
    void TearDown() override {
        if (saved[0]) SetCurrentDirectoryW(saved);
        FileTree::TearDown();
    }
    wchar_t saved[MAX_PATH] = {};
};

TEST_F(CurrentDriveRoot, EmptyPathsNeverNameTheRoot) {
    EXPECT_EQ(DeleteFolderTree(L""), 0);
    EXPECT_EQ(ReadText(L"K:\\marker.txt"), "marker");
    EXPECT_TRUE(IsFolder(L"K:\\cwd"));

    CreateFolderPath(At(L"src").c_str());
    WriteText(At(L"src\\copied.txt"), "c");
    EXPECT_EQ(CopyFolderTree(L"", At(L"src").c_str()), 0);
    EXPECT_FALSE(PathExists(L"K:\\copied.txt"));
}

TEST_F(CurrentDriveRoot, RootedPathIsCreatedAtTheRootNotBelowTheCurrentFolder) {
    EXPECT_NE(CreateFolderPath(L"\\rooted\\inner"), 0);
    EXPECT_TRUE(IsFolder(L"K:\\rooted\\inner"));
    EXPECT_FALSE(PathExists(L"K:\\cwd\\rooted"));
    RemoveDirectoryW(L"K:\\rooted\\inner");
    RemoveDirectoryW(L"K:\\rooted");
}

}  // namespace
