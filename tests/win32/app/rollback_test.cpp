// The rollback after an interrupted installation.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/install_sequence.h"
#include "app/product_names.h"
#include "app/rollback.h"
#include "package/string_ids.h"
#include "tests/win32/app/install_checks.h"

namespace {

const ReportList kRollbackReports{{IDS_DELETING_PROGRAM_FILES, 0},
                                  {IDS_DELETING_REGISTRY, 30},
                                  {IDS_DELETING_START_MENU, 50},
                                  {IDS_CLEANING_TEMPORARY_FILES, 100}};

using Rollback = MachineTest;

TEST_F(Rollback, AfterAFullInstallationRemovesAllButTheSystemFiles) {
    ASSERT_EQ(1, InstallProducts(&app, nullptr));
    ASSERT_TRUE(UninstallKeyExists());
    RecordingCallback callback;
    EXPECT_EQ(0, RollbackInstallation(&app, &callback));
    EXPECT_EQ(kRollbackReports, callback.reports);
    EXPECT_FALSE(PathExists(app.m_paths.InstallDir));
    EXPECT_FALSE(UninstallKeyExists());
    EXPECT_FALSE(PathExists(StartMenuProductFolder()));
    EXPECT_FALSE(PathExists(StartMenuVendorFolder()));
    ExpectSystemFiles(app, true);  // shared files stay
}

TEST_F(Rollback, AfterNothingMakesItsFourReports) {
    RecordingCallback callback;
    EXPECT_EQ(0, RollbackInstallation(&app, &callback));
    EXPECT_EQ(kRollbackReports, callback.reports);
    EXPECT_FALSE(PathExists(app.m_paths.InstallDir));
    EXPECT_FALSE(UninstallKeyExists());
    EXPECT_FALSE(PathExists(StartMenuVendorFolder()));
    // Without a callback or an application object it still runs through.
    EXPECT_EQ(0, RollbackInstallation(&app, nullptr));
    RecordingCallback second;
    EXPECT_EQ(0, RollbackInstallation(nullptr, &second));
    EXPECT_EQ(kRollbackReports, second.reports);
}

TEST_F(Rollback, RepliesOfZeroDoNotStopIt) {
    ASSERT_EQ(1, InstallProducts(&app, nullptr));
    RecordingCallback callback(ProgressReport{IDS_DELETING_PROGRAM_FILES, 0});
    RollbackInstallation(&app, &callback);
    EXPECT_EQ(kRollbackReports, callback.reports);
    EXPECT_FALSE(PathExists(app.m_paths.InstallDir));
    EXPECT_FALSE(UninstallKeyExists());
    EXPECT_FALSE(PathExists(StartMenuProductFolder()));
}

TEST_F(Rollback, AVendorFolderWithOtherEntriesIsKept) {
    const std::wstring other = Join(StartMenuVendorFolder(), L"Other Tool");
    ASSERT_TRUE(MakeFolders(other));
    ASSERT_TRUE(WriteFileBytes(Join(other, L"readme.txt"), "another product"));
    ASSERT_EQ(1, InstallProducts(&app, nullptr));
    RollbackInstallation(&app, nullptr);
    EXPECT_FALSE(PathExists(StartMenuProductFolder()));
    EXPECT_EQ("another product", ReadFileBytes(Join(other, L"readme.txt")));
    RemoveTree(StartMenuVendorFolder());
}

TEST_F(Rollback, TakesAWorkingFolderLeftByACutOffRun) {
    const std::wstring work = Join(app.m_paths.PkgMainDir, L"deep\\er");
    ASSERT_TRUE(MakeFolders(work));
    ASSERT_TRUE(WriteFileBytes(Join(work, L"half.bin"), "half written"));
    SetFileAttributesW(Join(work, L"half.bin").c_str(), FILE_ATTRIBUTE_READONLY);
    RollbackInstallation(&app, nullptr);
    EXPECT_FALSE(PathExists(app.m_paths.PackageDir));
    EXPECT_FALSE(PathExists(app.m_paths.InstallDir));
}

TEST_F(Rollback, OtherUninstallEntriesStay) {
    const wchar_t sibling[] = L"" KVN_NAME_UNINSTALL_KEYS "\\KvnAppTestSibling";
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, sibling, 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, &key, nullptr));
    RegCloseKey(key);
    ASSERT_EQ(1, InstallProducts(&app, nullptr));
    RollbackInstallation(&app, nullptr);
    EXPECT_FALSE(UninstallKeyExists());
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, sibling, 0, KEY_READ, &key));
    RegCloseKey(key);
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, sibling);
}

TEST_F(Rollback, AFileInUseStaysAndTheOtherStepsStillRun) {
    ASSERT_EQ(1, InstallProducts(&app, nullptr));
    const std::wstring busy = Join(app.m_paths.InstallDir, L"readme.txt");
    HANDLE open = CreateFileW(busy.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, open);
    RecordingCallback callback;
    RollbackInstallation(&app, &callback);
    CloseHandle(open);
    EXPECT_EQ(kRollbackReports, callback.reports);
    EXPECT_TRUE(PathExists(busy));
    EXPECT_EQ((std::vector<std::wstring>{L"readme.txt"}), ListFolder(app.m_paths.InstallDir));
    EXPECT_FALSE(UninstallKeyExists());
    EXPECT_FALSE(PathExists(StartMenuProductFolder()));
}

}  // namespace
