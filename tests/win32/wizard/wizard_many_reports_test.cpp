// An installation of 30,000 files while the GUI thread handles nothing: the
// reports must not pile up in its queue (Windows refuses posts past 10,000
// waiting messages, and a lost end would leave the wizard on the progress
// page), and once the thread looks again the run ends where it should.
#include <gtest/gtest.h>
#include "app/rollback.h"
#include "app/setup_state.h"
#include "foundation/file_tree.h"
#include "wizard/finish_page.h"
#include "wizard/progress_page.h"
#include "wizard/resource_ids.h"
#include "wizard_driver.h"

using namespace wizard_test;

namespace {

class CountingProgressPage : public CLPSProgressPpg {
public:
    using CLPSProgressPpg::CLPSProgressPpg;
    int ReportProgress(int stringId, int percent) override {
        ++reports;
        return CLPSProgressPpg::ReportProgress(stringId, percent);
    }
    std::atomic<int> reports{0};
};

// Takes the waiting messages of one kind off the queue; how many there were.
int TakeQueued(UINT message, MSG* last) {
    int count = 0;
    while (PeekMessageW(last, nullptr, message, message, PM_REMOVE)) ++count;
    return count;
}

TEST(ManyReports, ABusyGuiThreadFindsOneReportAndTheEndWaitingAndTheRunEndsOnTheFinishPage) {
    InitControls();
    CLPSSetupState app;
    PrepareApp(app);
    NeverStopCallback quiet;
    RollbackInstallation(&app, &quiet);
    {
        CPropertySheet frame(IDS_SETUP_CAPTION);
        frame.m_psh.dwFlags |= PSH_WIZARD;
        CountingProgressPage progress(&app);
        CLPSFinishPpg finish(&app);
        frame.AddPage(&progress);
        frame.AddPage(&finish);
        ASSERT_TRUE(frame.Create());  // the progress page starts the worker
        ASSERT_NE(progress.m_worker.Get(), nullptr);
        // Busy: nothing is handled until the worker has ended.
        ASSERT_EQ(WaitForSingleObject(progress.m_worker.Get(), 800000), WAIT_OBJECT_0);
        EXPECT_GE(progress.reports.load(), 30000);
        MSG report = {}, done = {};
        const int reportMessages = TakeQueued(WM_INSTALL_PROGRESS, &report);
        const int doneMessages = TakeQueued(WM_INSTALL_DONE, &done);
        EXPECT_LE(reportMessages, 1);
        EXPECT_EQ(doneMessages, 1);
        // Back in their posting order: the report's message came first.
        if (reportMessages) PostMessageW(report.hwnd, report.message, report.wParam, report.lParam);
        if (doneMessages) PostMessageW(done.hwnd, done.message, done.wParam, done.lParam);
        ASSERT_TRUE(PumpUntil(
            frame, [&] { return frame.GetActiveIndex() == 1; }, 30000));
        // The run's last report is the one shown.
        EXPECT_EQ(ControlText(progress.m_hWnd, IDC_PROGRESS_STATUS), L"Installing Redistributable...");
        EXPECT_EQ(SendDlgItemMessageW(progress.m_hWnd, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0), 100);
        EXPECT_TRUE(FileExists(std::wstring(app.m_paths.InstallDir) + L"\\Samples\\Many\\part29\\f999.txt"));
        EXPECT_FALSE(IsFolder(app.m_paths.PackageDir));
        frame.DestroySheet();
    }
    RollbackInstallation(&app, &quiet);
    EXPECT_FALSE(IsFolder(app.m_paths.InstallDir));
}

}  // namespace
