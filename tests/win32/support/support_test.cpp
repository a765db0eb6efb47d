// The shared test support itself: what the other tests rely on when they
// clean up, compare trees and stop runs at a report.
#include <windows.h>

#include <gtest/gtest.h>

#include "package/string_ids.h"
#include "tests/win32/support/files.h"
#include "tests/win32/support/paths.h"
#include "tests/win32/support/progress_callbacks.h"
#include "tests/win32/support/temp_folder.h"
#include "tests/win32/support/text.h"

namespace {

TEST(TempFolder, IsMadeEmptyAndGoesWithReadOnlyFilesAndPathsBeyondMaxPath) {
    std::wstring path, deep;
    {
        TempFolder folder(L"support");
        path = folder.path();
        ASSERT_TRUE(IsFolder(path));
        EXPECT_TRUE(ListFolder(path).empty());
        ASSERT_TRUE(WriteFileBytes(folder / L"locked.txt", "x"));
        ASSERT_TRUE(SetFileAttributesW((folder / L"locked.txt").c_str(), FILE_ATTRIBUTE_READONLY));
        deep = L"\\\\?\\" + folder.path();
        while (deep.size() < MAX_PATH + 40) {
            deep += L"\\" + std::wstring(50, L'd');
            ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr));
        }
        ASSERT_TRUE(WriteFileBytes(deep + L"\\deep.txt", "y"));
    }
    EXPECT_FALSE(PathExists(path));
}

TEST(Files, FoldersAreMadeWithTheirParentsAndTreesCompared) {
    TempFolder folder(L"support");
    EXPECT_TRUE(MakeFolders(folder / L"a\\b\\c"));
    ASSERT_TRUE(WriteFileBytes(folder / L"a\\b\\c\\f.txt", "one"));
    ASSERT_TRUE(WriteFileBytes(folder / L"a\\file", "in the way"));
    EXPECT_FALSE(MakeFolders(folder / L"a\\file")) << "a file where the folder belongs";
    EXPECT_EQ(5u, CountEntries(folder.path()));
    EXPECT_EQ(2u, CountEntries(folder.path(), true));

    ASSERT_TRUE(MakeFolders(folder / L"copy\\b\\c"));
    ASSERT_TRUE(WriteFileBytes(folder / L"copy\\b\\c\\f.txt", "one"));
    std::vector<std::wstring> failures;
    CompareTrees(folder / L"a\\b", folder / L"copy\\b", failures);
    EXPECT_TRUE(failures.empty());
    ASSERT_TRUE(WriteFileBytes(folder / L"copy\\b\\c\\f.txt", "two"));
    CompareTrees(folder / L"a", folder / L"copy", failures);
    EXPECT_EQ(3u, failures.size()) << "the top folders' entries, the changed file, the missing file";
}

TEST(Text, ConvertsEveryPlaneAndNarrowsToAscii) {
    const std::string utf8 = "r\xC3\xA9sum\xC3\xA9 \xE6\x97\xA5 \xF0\x9F\x98\x80";
    const std::wstring wide = Utf8ToWide(utf8);
    EXPECT_EQ(std::wstring(L"r\u00E9sum\u00E9 \u65E5 \U0001F600"), wide);
    EXPECT_EQ(utf8, WideToUtf8(wide));
    EXPECT_EQ("r?sum? ? ??", Narrow(wide));
    EXPECT_EQ(std::wstring(L"\u00AE"), Widen("\xAE"));
    EXPECT_EQ(std::wstring(L"Z:\\a\\b c"), WinePath("/a/b c"));
}

// Feeds the reports to the callback; the index of each zero answer.
std::vector<size_t> ZeroAnswers(RecordingCallback& callback, const ReportList& reports) {
    std::vector<size_t> zeros;
    for (size_t i = 0; i < reports.size(); ++i)
        if (callback.ReportProgress(reports[i].first, reports[i].second) == 0) zeros.push_back(i);
    EXPECT_EQ(reports, callback.reports);
    EXPECT_EQ(reports.size(), callback.milliseconds.size());
    return zeros;
}

TEST(RecordingCallback, EachStopRuleAnswersZeroExactlyWhereItSays) {
    const ReportList run{{IDS_VALIDATING_PACKAGE, 0},  {IDS_VALIDATING_PACKAGE, 50},
                         {IDS_EXTRACTING_PACKAGE, 10}, {IDS_EXTRACTING_PACKAGE, 20},
                         {IDS_INSTALLING_MAIN, 0},     {IDS_EXTRACTING_PACKAGE, 20},
                         {IDS_INSTALLING_MAIN, 10}};
    RecordingCallback none;
    EXPECT_TRUE(ZeroAnswers(none, run).empty());
    RecordingCallback pair(ProgressReport{IDS_EXTRACTING_PACKAGE, 20});
    EXPECT_EQ(std::vector<size_t>{3}, ZeroAnswers(pair, run)) << "the first equal report only";
    RecordingCallback index = RecordingCallback::StoppingAtIndex(4);
    EXPECT_EQ(std::vector<size_t>{4}, ZeroAnswers(index, run));
    RecordingCallback from = RecordingCallback::StoppingFrom(5);
    EXPECT_EQ((std::vector<size_t>{4, 5, 6}), ZeroAnswers(from, run));
    RecordingCallback extract;
    extract.stopAtExtractReport = 3;
    EXPECT_EQ(std::vector<size_t>{5}, ZeroAnswers(extract, run));
    RecordingCallback validation;
    validation.stopAtValidationReport = 2;
    EXPECT_EQ(std::vector<size_t>{1}, ZeroAnswers(validation, run));
}

}  // namespace
