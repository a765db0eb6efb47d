// A run cancelled at every one of its reports, from the first to the last:
// the rest of the run is skipped, the run never claims success, and the
// interrupted page's rollback leaves nothing of the product, in the system
// folder neither.
#include <windows.h>

#include <algorithm>
#include <cstdio>

#include <gtest/gtest.h>

#include "app/install_sequence.h"
#include "app/rollback.h"
#include "package/string_ids.h"
#include "tests/win32/app/install_checks.h"
#include "tests/win32/faults/faults_support.h"

namespace {

using ReportSequence = std::vector<std::pair<int, int>>;

bool SystemFilesPresent(const CLPSSetupState& app, bool& allOrNone) {
    size_t present = 0, total = 0;
    for (const std::wstring& name : ListFolder(Join(PackedTree(), L"Sys32"))) {
        ++total;
        if (PathExists(Join(app.m_paths.SystemDir, name))) ++present;
    }
    allOrNone = present == 0 || present == total;
    return present == total && total > 0;
}

class CancelEveryReport : public MachineTest {};

TEST_F(CancelEveryReport, EveryStopPointEndsInterruptedAndTheRollbackLeavesNothing) {
    // The uncancelled run: how many reports there are, and that it succeeds.
    RecordingCallback full;
    InstallOutcome outcome;
    ASSERT_EQ(1, InstallProducts(&app, &full, &outcome));
    ASSERT_TRUE(ClaimsSuccess(outcome)) << "failures " << outcome.failures;
    ASSERT_TRUE(InstallationDifferences(app).empty());
    const ReportSequence sequence = full.reports;
    const size_t total = sequence.size();
    ASSERT_GT(total, 200u) << "the tree holds about two hundred entries";
    NeverStopCallback quiet;
    RollbackInstallation(&app, &quiet);
    CleanMachine(app);

    size_t runs = 0, claimed = 0, wrongOutcomes = 0, wrongReports = 0, leftoverRuns = 0, systemFileFaults = 0;
    size_t vendorFolderLeft = 0;
    std::vector<size_t> failedAt;
    const DWORD start = GetTickCount();
    for (size_t n = 1; n <= total; ++n) {
        RecordingCallback callback = RecordingCallback::StoppingFrom(n);
        InstallOutcome result;
        InstallProducts(&app, &callback, &result);
        ++runs;
        // Nothing is reported after the report that was answered with zero,
        // and what was reported is the start of the full sequence.
        if (callback.reports != ReportSequence(sequence.begin(), sequence.begin() + n)) ++wrongReports;
        // A cancel is neither a success nor a failed write.
        if (ClaimsSuccess(result)) ++claimed;
        if (!result.stopped || result.failures) ++wrongOutcomes;
        if (ClaimsSuccess(result) || !result.stopped || result.failures) failedAt.push_back(n);
        if (PathExists(app.m_paths.PackageDir)) failedAt.push_back(n);

        RollbackInstallation(&app, &quiet);
        const Leftovers left = FindLeftovers(app);
        if (left.Any()) {
            ++leftoverRuns;
            failedAt.push_back(n);
            ADD_FAILURE() << "stopped at report " << n << ": " << left.Describe();
        }
        if (left.vendorFolder) ++vendorFolderLeft;
        bool allOrNone = true;
        const bool present = SystemFilesPresent(app, allOrNone);
        // What the cancelled run added to the system folder goes with it.
        if (!allOrNone || present) {
            ++systemFileFaults;
            failedAt.push_back(n);
        }
        CleanMachine(app);
    }
    const DWORD elapsed = GetTickCount() - start;
    std::printf(
        "cancel at every report: %u runs (reports 1 to %u), %u claimed success, %u other wrong outcomes, "
        "%u wrong report sequences, %u with leftovers after the rollback, %u system-folder faults, "
        "%u left the empty vendor folder in Program Files, %lu ms\n",
        unsigned(runs), unsigned(total), unsigned(claimed), unsigned(wrongOutcomes), unsigned(wrongReports),
        unsigned(leftoverRuns), unsigned(systemFileFaults), unsigned(vendorFolderLeft),
        static_cast<unsigned long>(elapsed));
    RecordProperty("runs", static_cast<int>(runs));
    RecordProperty("leftover_runs", static_cast<int>(leftoverRuns));
    EXPECT_EQ(total, runs);
    EXPECT_EQ(0u, claimed);
    EXPECT_EQ(0u, wrongOutcomes);
    EXPECT_EQ(0u, wrongReports);
    EXPECT_EQ(0u, leftoverRuns);
    EXPECT_EQ(0u, systemFileFaults);
    if (!failedAt.empty()) ADD_FAILURE() << "first faulty stop point: report " << failedAt.front();
}

}  // namespace
