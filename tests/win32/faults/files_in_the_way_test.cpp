// Files in the way at the destinations of a second run: held open by
// another program, read-only, hidden or system, or a file where a folder
// belongs. The run goes on with the same reports; what Windows lets it
// replace is replaced, what a program holds is replaced at the next restart,
// and a run that fails gives the earlier state back on its rollback.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/install_sequence.h"
#include "app/product_names.h"
#include "app/rollback.h"
#include "foundation/owned_handle.h"
#include "tests/win32/app/install_checks.h"
#include "tests/win32/faults/faults_support.h"

namespace {

size_t Records() {
    return CountEntries(PackedTree());
}

class FilesInTheWay : public MachineTest {
protected:
    void TearDown() override {
        DropPendingRestartOperations(app.m_paths.InstallDir);
        MachineTest::TearDown();
    }
    std::wstring Installed(const wchar_t* name) { return Join(app.m_paths.InstallDir, name); }
    std::wstring Packed(const wchar_t* name) { return Join(PackedTree(), name); }
    std::wstring Saved() { return Installed(L"" KVN_NAME_SAVED_FOLDER); }
    void Install(InstallOutcome& outcome, RecordingCallback* callback = nullptr) {
        NewSetup run;
        InstallProducts(&run, callback, &outcome);
        restartNeeded = run.m_journal.RestartNeeded();
    }
    bool restartNeeded = false;
};

TEST_F(FilesInTheWay, FilesHeldWithoutSharingAreReplacedAtTheNextRestart) {
    InstallOutcome first, second;
    Install(first);
    ASSERT_TRUE(ClaimsSuccess(first));
    // A top-level file (the version-aware copy) and one deep in a sub-tree (the tree copy).
    const std::wstring top = Installed(L"readme.txt"), deep = Installed(L"Help\\Java\\docs\\index.html");
    ASSERT_TRUE(WriteFileBytes(top, "an older readme"));
    ASSERT_TRUE(WriteFileBytes(deep, "an older page"));
    {
        FileHolder holdTop(top), holdDeep(deep);
        ASSERT_TRUE(holdTop.Holding());
        ASSERT_TRUE(holdDeep.Holding());
        RecordingCallback callback;
        Install(second, &callback);
        EXPECT_EQ(StepReports(kAll), CheckPipelineReports(callback.reports, Records()));
        EXPECT_TRUE(ClaimsSuccess(second)) << second.failures;
        EXPECT_TRUE(restartNeeded);
        EXPECT_EQ(3u, PendingRestartOperations(Saved())) << "two replacements, then the saved folder";
    }
    EXPECT_EQ("an older readme", ReadFileBytes(top)) << "held: replaced only at the restart";
    ASSERT_TRUE(RestartWindows());
    EXPECT_TRUE(InstallationDifferences(app).empty());
    EXPECT_FALSE(PathExists(Saved()));
    EXPECT_EQ(0u, PendingRestartOperations(Saved()));
}

// A program holding a file with delete sharing lets it be renamed: the new
// file is in place at once, and the old one goes once it is let go (at the
// restart at the latest, with the saved folder).
TEST_F(FilesInTheWay, AFileHeldWithDeleteSharingGoesAsideAndTheNewOneIsInPlaceAtOnce) {
    InstallOutcome first, second;
    Install(first);
    const std::wstring dll = Join(app.m_paths.SystemDir, L"kvn_faults_rt.dll");
    ASSERT_TRUE(WriteFileBytes(dll, "the loaded older runtime"));
    {
        FileHolder loaded(dll, true);
        ASSERT_TRUE(loaded.Holding());
        Install(second);
        EXPECT_TRUE(ClaimsSuccess(second)) << second.failures;
        EXPECT_EQ(ReadFileBytes(Packed(L"Sys32\\kvn_faults_rt.dll")), ReadFileBytes(dll));
    }
    ASSERT_TRUE(RestartWindows());
    EXPECT_TRUE(InstallationDifferences(app).empty()) << "the saved folder is gone";
    EXPECT_EQ(0u, PendingRestartOperations(Saved()));
}

// The setup run again before the restart: the old copy of a DLL that a
// program still has loaded stays in the saved folder, its deletion left for
// the restart by the earlier run. The new run saves beside it.
TEST_F(FilesInTheWay, AnOldCopyStillHeldInTheSavedFolderDoesNotStopTheNextRun) {
    InstallOutcome first, second;
    Install(first);
    const std::wstring held = Join(Saved(), L"00000000");
    ASSERT_TRUE(MakeFolders(Saved()));
    ASSERT_TRUE(WriteFileBytes(held, "the old runtime, still loaded"));
    {
        FileHolder loaded(held);
        ASSERT_TRUE(loaded.Holding());
        ASSERT_TRUE(MoveFileExW(held.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
        Install(second);
        EXPECT_TRUE(ClaimsSuccess(second)) << second.failures;
    }
    ASSERT_TRUE(RestartWindows());
    EXPECT_TRUE(InstallationDifferences(app).empty()) << "the saved folder is gone";
}

TEST_F(FilesInTheWay, ReadOnlyHiddenAndSystemFilesGetThePackagesBytesAndAttributes) {
    InstallOutcome first, second;
    Install(first);
    const std::wstring guarded[] = {Installed(L"readme.txt"), Installed(L"Help\\kvnbarcode.chm"),
                                    Installed(L"Help\\Java\\docs\\index.html"),
                                    Join(app.m_paths.SystemDir, L"kvn_faults_rt.dll")};
    const DWORD attributes[] = {FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_HIDDEN,
                                FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN,
                                FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY};
    for (size_t i = 0; i < 4; ++i) {
        ASSERT_TRUE(WriteFileBytes(guarded[i], "an older file"));
        ASSERT_TRUE(SetFileAttributesW(guarded[i].c_str(), attributes[i]));
    }
    Install(second);
    EXPECT_TRUE(ClaimsSuccess(second)) << second.failures;
    EXPECT_FALSE(restartNeeded);
    EXPECT_TRUE(InstallationDifferences(app).empty());
    for (const std::wstring& file : guarded)
        EXPECT_EQ(0u, GetFileAttributesW(file.c_str()) & attributes[3]) << Narrow(file);
    EXPECT_FALSE(PathExists(Saved()));
}

TEST_F(FilesInTheWay, AFileWhereAComponentFolderBelongsFailsTheRunAndTheRollbackKeepsWhatWasThere) {
    ASSERT_TRUE(MakeFolders(app.m_paths.InstallDir));
    ASSERT_TRUE(WriteFileBytes(Installed(L"Redistributables"), "a file, not a folder"));
    const MachineState before = ReadMachineState(app);
    RecordingCallback callback;
    InstallOutcome outcome;
    InstallProducts(&app, &callback, &outcome);
    EXPECT_EQ(StepReports(kAll), CheckPipelineReports(callback.reports, Records()));
    // The folder and each of its files.
    EXPECT_EQ(static_cast<int>(1 + CountEntries(Packed(L"Redistributables"))), outcome.failures);
    EXPECT_FALSE(ClaimsSuccess(outcome));
    NeverStopCallback quiet;
    RollbackInstallation(&app, &quiet);
    for (const std::wstring& line : StateDifferences(before, ReadMachineState(app)))
        ADD_FAILURE() << Narrow(line);
}

// A repair: what already has the package's bytes and attributes is left as
// it is (its own write time stays), a DLL a program has loaded among them,
// so no restart is needed; a file of the same size with one byte changed,
// or the same bytes with an attribute added, is replaced.
TEST_F(FilesInTheWay, ASecondRunLeavesWhatIsAlreadyThePackagesAndReplacesTheRest) {
    InstallOutcome first, second;
    Install(first);
    ASSERT_TRUE(ClaimsSuccess(first)) << first.failures;
    const std::wstring same = Installed(L"Help\\kvnbarcode.chm"), changed = Installed(L"readme.txt"),
                       hidden = Installed(L"Help\\Java\\docs\\index.html"),
                       dll = Join(app.m_paths.SystemDir, L"kvn_faults_rt.dll");
    std::string bytes = ReadFileBytes(changed);
    ASSERT_FALSE(bytes.empty());
    bytes[0] ^= 1;
    ASSERT_TRUE(WriteFileBytes(changed, bytes));
    ASSERT_TRUE(SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN));
    const FILETIME marked{0x12345678u, 0x01c00000u};
    {
        CWFileHandle file(
            CreateFileW(same.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(file && SetFileTime(file.Get(), nullptr, nullptr, &marked));
    }
    {
        FileHolder loaded(dll, true);
        ASSERT_TRUE(loaded.Holding());
        Install(second);
    }
    EXPECT_TRUE(ClaimsSuccess(second)) << second.failures;
    EXPECT_FALSE(restartNeeded);
    for (const std::wstring& line : InstallationDifferences(app)) ADD_FAILURE() << Narrow(line);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(GetFileAttributesExW(same.c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(0, CompareFileTime(&marked, &data.ftLastWriteTime)) << "left as it was";
    EXPECT_FALSE(PathExists(Saved()));
}

}  // namespace
