// The running-process check of the welcome page.
#include <gtest/gtest.h>
#include <vector>
#include "app/product_names.h"
#include "foundation/arrays.h"
#include "wizard/blocking_processes.h"
#include "wizard_driver.h"

using namespace wizard_test;

namespace {

// Enumerators answering like EnumProcesses for a system of a given size.
DWORD g_systemSize = 0;
int g_calls = 0;

BOOL WINAPI EnumerateSystem(DWORD* ids, DWORD bytes, DWORD* returned) {
    ++g_calls;
    DWORD fits = bytes / sizeof(DWORD);
    DWORD count = g_systemSize < fits ? g_systemSize : fits;
    for (DWORD i = 0; i < count; ++i) ids[i] = 4 * (i + 1);
    *returned = count * sizeof(DWORD);
    return TRUE;
}

BOOL WINAPI EnumerateFails(DWORD*, DWORD, DWORD*) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

TEST(BlockingProcesses, IdBufferGrowsUntilEveryProcessFits) {
    for (DWORD size : {0u, 1u, 1023u, 1024u, 1025u, 3000u, 5000u}) {
        g_systemSize = size;
        g_calls = 0;
        std::vector<DWORD> ids;
        ASSERT_TRUE(ReadProcessIds(&EnumerateSystem, ids)) << size;
        ASSERT_EQ(ids.size(), size) << size;
        if (size) {
            EXPECT_EQ(ids.front(), 4u);
            EXPECT_EQ(ids.back(), 4 * size);
        }
        // A full answer is asked again: 1024 ids need a second call.
        EXPECT_EQ(g_calls, size < 1024 ? 1 : size < 2048 ? 2 : size < 4096 ? 3 : 4) << size;
    }
}

TEST(BlockingProcesses, FailedEnumerationGivesNoIds) {
    std::vector<DWORD> ids = {1, 2, 3};
    EXPECT_FALSE(ReadProcessIds(&EnumerateFails, ids));
    EXPECT_TRUE(ids.empty());
    EXPECT_FALSE(ReadProcessIds(nullptr, ids));
}

TEST(BlockingProcesses, NamesMatchWholeAndIgnoringCase) {
    CWPtArray list;
    AppendBlockingMatches(L"" KVN_NAME_DEMO_PROGRAM, list);
    AppendBlockingMatches(L"kvnbarcodedemo.EXE", list);
    AppendBlockingMatches(L"" KVN_NAME_DEMO_PROGRAM ".bak", list);
    AppendBlockingMatches(L"KVNBarcodeDemo", list);
    AppendBlockingMatches(L"<unknown>", list);
    AppendBlockingMatches(L"", list);
    AppendBlockingMatches(nullptr, list);
    ASSERT_EQ(list.GetCount(), 2);
    // The list holds the table's own strings, not copies.
    EXPECT_EQ(list.GetAt(0), BlockingProcessNames[0]);
    EXPECT_EQ(list.GetAt(1), BlockingProcessNames[0]);
    EXPECT_STREQ(BlockingProcessNames[0], L"" KVN_NAME_DEMO_PROGRAM);
    EXPECT_EQ(BlockingProcessNames[1], nullptr);
}

TEST(BlockingProcesses, RunningProcessesAreFoundByModuleNameFromAnyFolder) {
    TempFolder folder(L"wizard-blocking");
    CWPtArray none;
    ASSERT_EQ(FindBlockingProcesses(none), 1);
    ASSERT_EQ(none.GetCount(), 0) << "a demo is already running";

    // Another case of letters blocks as well.
    DWORD first = StartNamedSleeper(folder.path(), L"kvnbarcodedemo.EXE", 30);
    ASSERT_NE(first, 0u);
    CreateDirectoryW((folder.path() + L"\\other").c_str(), nullptr);
    DWORD second = StartNamedSleeper(folder.path() + L"\\other", L"" KVN_NAME_DEMO_PROGRAM, 30);
    ASSERT_NE(second, 0u);
    DWORD unrelated = StartNamedSleeper(folder.path(), L"KVNBarcodeDemo2.exe", 30);
    ASSERT_NE(unrelated, 0u);

    CWPtArray found;
    EXPECT_EQ(FindBlockingProcesses(found), 1);
    EXPECT_EQ(found.GetCount(), 2);
    wchar_t name[260];
    ReadProcessModuleName(first, name);
    EXPECT_EQ(_wcsicmp(name, L"kvnbarcodedemo.exe"), 0) << name;
    ReadProcessModuleName(0xFFFFFFF0u, name);
    EXPECT_STREQ(name, L"<unknown>");

    EndProcess(first);
    EndProcess(second);
    EndProcess(unrelated);
    CWPtArray after;
    FindBlockingProcesses(after);
    EXPECT_EQ(after.GetCount(), 0);
}

// A demo of the other bitness: a 32-bit setup cannot list a 64-bit
// process's modules, so the name comes from its image path instead.
TEST(BlockingProcesses, ADemoOfTheOtherBitnessIsFoundToo) {
    TempFolder folder(L"wizard-blocking-other");
    DWORD other = StartNamedSleeper(folder.path(), L"" KVN_NAME_DEMO_PROGRAM, 30, true);
    if (other == 0) GTEST_SKIP() << "the sleeper of the other bitness does not run here";
    wchar_t name[260];
    ReadProcessModuleName(other, name);
    EXPECT_STREQ(name, L"" KVN_NAME_DEMO_PROGRAM);
    CWPtArray found;
    EXPECT_EQ(FindBlockingProcesses(found), 1);
    EXPECT_EQ(found.GetCount(), 1);
    EndProcess(other);
    CWPtArray after;
    FindBlockingProcesses(after);
    EXPECT_EQ(after.GetCount(), 0);
}

}  // namespace
