// A setup run again over an installation that the user has used: an older
// file, a read-only one, a file of the user's own in the folder. A run
// cancelled at any point gives that installation back byte for byte on its
// rollback; the run after one that was killed heals what it left.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/install_sequence.h"
#include "app/product_names.h"
#include "app/rollback.h"
#include "tests/win32/app/install_checks.h"
#include "tests/win32/faults/faults_support.h"

namespace {

class Reinstall : public MachineTest {
protected:
    // An installation as a user leaves it.
    void InstallAndUse() {
        InstallOutcome outcome;
        ASSERT_EQ(1, InstallProducts(&app, nullptr, &outcome));
        ASSERT_TRUE(ClaimsSuccess(outcome));
        ASSERT_TRUE(WriteFileBytes(Installed(L"readme.txt"), "the readme of an older version"));
        ASSERT_TRUE(SetFileAttributesW(Installed(L"readme.txt").c_str(), FILE_ATTRIBUTE_READONLY));
        ASSERT_TRUE(WriteFileBytes(Installed(L"Samples\\my project.txt"), "the user's own work"));
        ASSERT_TRUE(WriteFileBytes(Join(app.m_paths.SystemDir, L"kvn_faults_rt.dll"), "an older runtime"));
    }
    std::wstring Installed(const wchar_t* name) { return Join(app.m_paths.InstallDir, name); }
};

TEST_F(Reinstall, CancelledAtAnyReportTheRollbackGivesTheInstallationBack) {
    RecordingCallback full;
    NewSetup fresh;
    InstallProducts(&fresh, &full);  // made final: the run installed
    const size_t total = full.reports.size();

    // Every fourth stop point, the first ones and the last ones: the run
    // goes through the pipeline, each copy, the entry and the links.
    NeverStopCallback quiet;
    size_t runs = 0, faulty = 0;
    for (size_t n = 1; n <= total; n += (n + 4 > total || n < 3) ? 1 : 4) {
        InstallAndUse();
        const MachineState used = ReadMachineState(app);
        RecordingCallback callback = RecordingCallback::StoppingFrom(n);
        InstallOutcome outcome;
        NewSetup run;
        InstallProducts(&run, &callback, &outcome);
        RollbackInstallation(&run, &quiet);
        ++runs;
        const std::vector<std::wstring> differences = StateDifferences(used, ReadMachineState(app));
        if (!differences.empty() && ++faulty <= 3)
            ADD_FAILURE() << "stopped at report " << n << " of " << total << ": " << differences.size()
                          << " differences, first " << Narrow(differences.front());
    }
    EXPECT_GT(runs, total / 4);
    EXPECT_EQ(0u, faulty);
}

TEST_F(Reinstall, TheRunAfterAKilledOneLeavesACleanInstallationAndNothingOfTheKilledRun) {
    InstallAndUse();
    // What a run killed in the middle leaves: saved copies and a working
    // folder, read-only among them.
    const std::wstring saved = Installed(L"" KVN_NAME_SAVED_FOLDER);
    for (const std::wstring& folder : {saved, std::wstring(app.m_paths.PkgHelpDir)}) {
        ASSERT_TRUE(MakeFolders(Join(folder, L"deep")));
        ASSERT_TRUE(WriteFileBytes(Join(folder, L"deep\\half.bin"), "half written"));
        ASSERT_TRUE(SetFileAttributesW(Join(folder, L"deep\\half.bin").c_str(), FILE_ATTRIBUTE_READONLY));
    }
    ASSERT_TRUE(WriteFileBytes(Join(app.m_paths.PkgHelpDir, L"kvnbarcode.chm"), "cut off"));
    ASSERT_TRUE(SetFileAttributesW(Join(app.m_paths.PkgHelpDir, L"kvnbarcode.chm").c_str(),
                                   FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    InstallOutcome outcome;
    NewSetup next;
    InstallProducts(&next, nullptr, &outcome);
    EXPECT_TRUE(ClaimsSuccess(outcome)) << outcome.failures;
    EXPECT_FALSE(PathExists(saved));
    EXPECT_EQ("the user's own work", ReadFileBytes(Installed(L"Samples\\my project.txt")));
    DeleteFileW(Installed(L"Samples\\my project.txt").c_str());
    for (const std::wstring& line : InstallationDifferences(app)) ADD_FAILURE() << Narrow(line);
}

}  // namespace
