// The real wizard sheet, driven in-process: cancels at a sample of reports
// end on the interrupted page and its Close leaves nothing; a run whose files
// cannot all be written ends there too instead of claiming success.
#include <windows.h>

#include <cstdio>
#include <memory>

#include <gtest/gtest.h>

#include "app/install_sequence.h"
#include "app/rollback.h"
#include "tests/win32/app/install_checks.h"
#include "tests/win32/faults/faults_support.h"
#include "wizard/resource_ids.h"
#include "wizard/setup_wizard.h"
#include "wizard_driver.h"

namespace {

constexpr int kProgressPage = 4, kFinishPage = 5, kInterruptedPage = 6;

class WizardFaults : public ::testing::Test {
protected:
    void SetUp() override {
        wizard_test::InitControls();
        wizard_test::PrepareApp(app);
        CleanMachine(app);
    }
    void TearDown() override {
        wizard.reset();
        CleanMachine(app);
    }
    // The reports the worker has made in this run.
    long Reports() { return wizard->m_progress.ReportsMade(); }
    CPropertySheet& Sheet() { return wizard->m_sheet; }
    int Active() { return Sheet().GetActiveIndex(); }

    // From the welcome page to the progress page with every component chosen;
    // the worker starts.
    void StartInstallation() {
        wizard = std::make_unique<CLPSWizard>(&app);
        ASSERT_TRUE(Sheet().Create());
        sheet = Sheet().m_hWnd;
        ShowWindow(sheet, SW_SHOW);
        wizard_test::PumpPending(Sheet());
        ASSERT_TRUE(wizard_test::PumpUntil(
            Sheet(), [&] { return wizard_test::ButtonUsable(sheet, ID_WIZNEXT); }, 5000));
        ASSERT_TRUE(wizard_test::ClickButton(Sheet(), ID_WIZNEXT));
        SendDlgItemMessageW(wizard->m_agreement.m_hWnd, IDC_AGREEMENT_AGREE, BM_CLICK, 0, 0);
        wizard_test::PumpPending(Sheet());
        ASSERT_TRUE(wizard_test::ClickButton(Sheet(), ID_WIZNEXT));
        ASSERT_TRUE(wizard_test::ClickButton(Sheet(), ID_WIZNEXT));
        ASSERT_EQ(3, Active());
        // The progress page's window exists once it is selected; the worker's
        // first reports wait in the queue until this thread pumps again.
        SendMessageW(GetDlgItem(sheet, ID_WIZNEXT), BM_CLICK, 0, 0);
        ASSERT_EQ(kProgressPage, Active());
        ASSERT_NE(nullptr, wizard->m_progress.m_worker.Get());
    }
    void WaitForTheEndPage() {
        ASSERT_TRUE(wizard_test::PumpUntil(
            Sheet(), [&] { return Active() == kFinishPage || Active() == kInterruptedPage; }, 60000));
        wizard_test::PumpFor(Sheet(), 200);
    }
    // Close on the interrupted page: the rollback, then the wizard ends.
    void Close() {
        ASSERT_EQ(kInterruptedPage, Active());
        ASSERT_EQ(L"Close", wizard_test::ButtonText(sheet, ID_WIZFINISH));
        ASSERT_TRUE(wizard_test::ClickButton(Sheet(), ID_WIZFINISH));
        EXPECT_FALSE(Sheet().IsRunning());
    }

    CLPSSetupState app;
    std::unique_ptr<CLPSWizard> wizard;
    HWND sheet = nullptr;
};

TEST_F(WizardFaults, AnUndisturbedRunOfTheTreeEndsOnTheFinishPage) {
    StartInstallation();
    WaitForTheEndPage();
    EXPECT_EQ(kFinishPage, Active());
    EXPECT_TRUE(InstallationDifferences(app).empty());
    EXPECT_EQ(static_cast<long>(3 + CountEntries(PackedTree()) + StepReports(kAll).size()), Reports());
}

TEST_F(WizardFaults, CancelsAtSampledReportsEndInterruptedAndCloseLeavesNothing) {
    // Positions in the report sequence of a run with every component.
    const long records = static_cast<long>(CountEntries(PackedTree()));
    const ReportList steps = StepReports(kAll);
    auto step = [&](ProgressReport report) {
        for (size_t i = 0; i < steps.size(); ++i)
            if (steps[i] == report) return 3 + records + static_cast<long>(i) + 1;
        return 0L;
    };
    // The worker goes on while the cancel is made, so a cancel lands some
    // reports after its target (printed below); early targets spread the
    // landings over the extraction.
    const long targets[] = {1,
                            4,
                            12,
                            30,
                            4 + records / 4,
                            step({IDS_INSTALLING_MAIN, 0}),
                            step({IDS_INSTALLING_TOOLS, 0}),
                            step({IDS_INSTALLING_HELP, 50})};
    std::printf("wizard cancels (target report -> last report made):");
    for (long target : targets) {
        ASSERT_GT(target, 0);
        SCOPED_TRACE("cancel after report " + std::to_string(target));
        StartInstallation();
        // The worker's reports are counted as it makes them; this thread does
        // not pump meanwhile, so the run's end cannot move the page on first.
        const HANDLE worker = wizard->m_progress.m_worker.Get();
        const DWORD start = GetTickCount();
        while (Reports() < target && WaitForSingleObject(worker, 0) == WAIT_TIMEOUT &&
               GetTickCount() - start < 60000)
            Sleep(1);
        ASSERT_EQ(kProgressPage, Active());
        // A worker that has already ended has its end message queued before
        // the cancel's: the finish page then shows first, and the cancel still
        // ends on the interrupted page.
        const bool workerEnded = WaitForSingleObject(wizard->m_progress.m_worker.Get(), 0) == WAIT_OBJECT_0;
        ASSERT_TRUE(wizard_test::ClickButton(Sheet(), IDCANCEL));
        WaitForTheEndPage();
        EXPECT_EQ(kInterruptedPage, Active());
        if (!workerEnded) {
            EXPECT_EQ(nullptr, wizard->m_finish.m_hWnd) << "the finish page was shown";
        }
        EXPECT_FALSE(PathExists(app.m_paths.PackageDir)) << "the stopped worker removes its working folder";
        std::printf(" %ld->%ld", target, Reports());
        Close();
        const Leftovers left = FindLeftovers(app);
        EXPECT_FALSE(left.Any()) << left.Describe();
        wizard.reset();
        CleanMachine(app);
    }
    std::printf("\n");
}

TEST_F(WizardFaults, AHeldFileEndsOnTheFinishPageThatAsksForARestart) {
    const std::wstring held = Join(app.m_paths.InstallDir, L"include\\k3.h");
    ASSERT_TRUE(MakeFolders(Join(app.m_paths.InstallDir, L"include")));
    {
        FileHolder holder(held);
        ASSERT_TRUE(holder.Holding());
        StartInstallation();
        WaitForTheEndPage();
        ASSERT_EQ(kFinishPage, Active()) << "the held file is replaced at the restart";
    }
    const std::wstring text = wizard_test::ControlText(wizard->m_finish.m_hWnd, IDC_FINISH_TEXT);
    EXPECT_NE(std::wstring::npos, text.find(L"restart your computer")) << Narrow(text);
    DropPendingRestartOperations(app.m_paths.InstallDir);
}

TEST_F(WizardFaults, ARunWithAFileThatCannotBeWrittenEndsInterruptedAndCloseKeepsWhatWasThere) {
    // A folder of the user's where the package has a file.
    const std::wstring inTheWay = Join(app.m_paths.InstallDir, L"include\\k3.h");
    ASSERT_TRUE(MakeFolders(inTheWay));
    ASSERT_TRUE(WriteFileBytes(Join(inTheWay, L"notes.txt"), "the user's notes"));
    const MachineState before = ReadMachineState(app);
    StartInstallation();
    WaitForTheEndPage();
    EXPECT_EQ(kInterruptedPage, Active()) << "a failed copy was reported as success";
    EXPECT_EQ(nullptr, wizard->m_finish.m_hWnd);
    // The run went on to its end: every report was made.
    EXPECT_EQ(static_cast<long>(3 + CountEntries(PackedTree()) + StepReports(kAll).size()), Reports());
    EXPECT_TRUE(PathExists(Join(app.m_paths.InstallDir, L"Redistributables\\r15.dll")));
    Close();
    for (const std::wstring& line : StateDifferences(before, ReadMachineState(app))) ADD_FAILURE() << Narrow(line);
}

}  // namespace
