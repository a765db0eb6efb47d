// The demo program as shipped, started under Wine like the setup starts it,
// and its start-up report of the current folder.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/product_names.h"
#include "sample-sdk/demo/cwd_report.h"
#include "sample-sdk/demo/demo_window.h"
#include "test_paths.h"
#include "test_support.h"

namespace {

TEST(CurrentFolderReport, WritesUtf8TextAsAWholeFile) {
    TempFolder folder(L"utf8");
    const std::wstring file = folder / L"report.txt";
    const std::wstring text = L"C:\\Programme\\Korvane \u00FC\u00DF \u65E5\u672C \U0001F600";
    ASSERT_TRUE(WriteUtf8File(file.c_str(), text.c_str()));
    std::string bytes;
    ASSERT_TRUE(ReadBytes(file, &bytes));
    EXPECT_EQ(bytes, WideToUtf8(text));  // no byte-order mark, no line end
    // Replaces a longer earlier report completely.
    ASSERT_TRUE(WriteUtf8File(file.c_str(), L"C:\\"));
    ASSERT_TRUE(ReadBytes(file, &bytes));
    EXPECT_EQ(bytes, "C:\\");
    EXPECT_FALSE(PathExists(file + L".tmp"));
}

TEST(CurrentFolderReport, RefusesWhatDoesNotFitAndLeavesNothing) {
    TempFolder folder(L"refuse");
    EXPECT_FALSE(WriteUtf8File((folder / L"missing\\report.txt").c_str(), L"x"));
    EXPECT_FALSE(PathExists(folder / L"missing"));
    // The temporary name needs four more characters than the file's.
    std::wstring longName = folder / std::wstring(MAX_PATH - 3 - folder.path().size(), L'n');
    EXPECT_FALSE(WriteUtf8File(longName.c_str(), L"x"));
    EXPECT_FALSE(WriteUtf8File((folder / L"long.txt").c_str(), std::wstring(MAX_PATH, L'x').c_str()));
    EXPECT_FALSE(PathExists(folder / L"long.txt"));
    EXPECT_FALSE(WriteUtf8File(nullptr, L"x"));
    EXPECT_FALSE(WriteUtf8File(L"", L"x"));
}

class DemoProgram : public ::testing::Test {
protected:
    // A copy of the staged demo, with or without the runtime beside it.
    void Install(bool withRuntime) {
        ASSERT_TRUE(CopyFileW(Stage(L"Bin\\" KVN_NAME_DEMO_PROGRAM).c_str(),
                              (bin_ / L"" KVN_NAME_DEMO_PROGRAM).c_str(), FALSE));
        if (withRuntime) {
            ASSERT_TRUE(CopyFileW(Stage(L"Sys32\\KVNBarcodeRT.dll").c_str(),
                                  (bin_ / L"KVNBarcodeRT.dll").c_str(), FALSE));
        }
    }
    std::wstring CommandLine() { return L"\"" + (bin_ / L"" KVN_NAME_DEMO_PROGRAM) + L"\""; }
    static bool RuntimeInSystemFolder() {
        wchar_t system[MAX_PATH] = {};
        GetSystemDirectoryW(system, MAX_PATH);
        return PathExists(std::wstring(system) + L"\\KVNBarcodeRT.dll");
    }

    TempFolder bin_{L"demo-bin"};
    TempFolder work_{L"demo work \u00E9\u00FC \u65E5\u672C"};
};

TEST_F(DemoProgram, ReportsTheFolderItWasStartedInAndShowsTheRuntimeAtWork) {
    Install(true);
    const std::wstring report = bin_ / L"cwd.txt";
    ProcessOptions options;
    options.currentFolder = work_.path();
    options.environmentOverrides = {std::wstring(kCwdReportVariable) + L"=" + report};
    RunningProcess demo(CommandLine(), options);
    ASSERT_TRUE(demo.started());

    HWND window = WaitForWindow(kDemoWindowTitle, demo.id(), 30000);
    ASSERT_NE(window, nullptr);
    std::string bytes;
    ASSERT_TRUE(ReadBytes(report, &bytes));  // written before the window opened
    EXPECT_EQ(_wcsicmp(Utf8ToWide(bytes).c_str(), work_.path().c_str()), 0) << bytes;

    wchar_t expected[64];
    swprintf(expected, 64, L"Runtime: KVNBarcodeRT.dll %u.%u.%u.%u", kExpectedVersion[0], kExpectedVersion[1],
             kExpectedVersion[2], kExpectedVersion[3]);
    EXPECT_EQ(WindowText(GetDlgItem(window, kVersionLabelId)), expected);
    EXPECT_EQ(WindowText(GetDlgItem(window, kReadBackLabelId)), L"Read back: KORVANE SDK");

    // The Close button ends the program normally.
    SendMessageW(GetDlgItem(window, IDCANCEL), BM_CLICK, 0, 0);
    DWORD exitCode = 99;
    ASSERT_TRUE(demo.WaitForExit(15000, &exitCode));
    EXPECT_EQ(exitCode, 0u);
}

TEST_F(DemoProgram, StartsWithoutTheRuntimeAndClosesFromTheCloseBox) {
    Install(false);
    ProcessOptions options;
    options.currentFolder = work_.path();
    // A report that cannot be written does not keep the demo from starting.
    options.environmentOverrides = {std::wstring(kCwdReportVariable) + L"=" +
                                    (work_ / L"no\\such\\folder.txt")};
    RunningProcess demo(CommandLine(), options);
    ASSERT_TRUE(demo.started());
    HWND window = WaitForWindow(kDemoWindowTitle, demo.id(), 30000);
    ASSERT_NE(window, nullptr);
    if (!RuntimeInSystemFolder()) {
        EXPECT_NE(WindowText(GetDlgItem(window, kVersionLabelId)).find(L"not found"), std::wstring::npos);
        EXPECT_NE(WindowText(GetDlgItem(window, kReadBackLabelId)).find(L"no runtime"), std::wstring::npos);
    }
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    DWORD exitCode = 99;
    ASSERT_TRUE(demo.WaitForExit(15000, &exitCode));
    EXPECT_EQ(exitCode, 0u);
}

TEST_F(DemoProgram, WithoutTheVariableWritesNoReport) {
    Install(true);
    ProcessOptions options;
    options.currentFolder = work_.path();
    options.environmentOverrides = {std::wstring(kCwdReportVariable) + L"="};
    RunningProcess demo(CommandLine(), options);
    ASSERT_NE(WaitForWindow(kDemoWindowTitle, demo.id(), 30000), nullptr);
    demo.Terminate();
    EXPECT_TRUE(FolderIsEmpty(work_.path()));
}

}  // namespace
