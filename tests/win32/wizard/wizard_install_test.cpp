// Whole runs of the wizard that install the test SDK into the prefix: the
// road to the finish page, the demo launch, and the cancels that end on the
// interrupted page whose Close rolls back.
#include <gtest/gtest.h>
#include <atomic>
#include <memory>
#include <string>
#include "app/product_names.h"
#include "app/install_sequence.h"
#include "app/rollback.h"
#include "app/setup_state.h"
#include "foundation/file_tree.h"
#include "wizard/resource_ids.h"
#include "wizard/setup_wizard.h"
#include "wizard_driver.h"

using namespace wizard_test;

namespace {

const wchar_t kCaption[] = L"Korvane\u00AE Barcode Reader SDK Setup";
const wchar_t kDemo[] = L"" KVN_NAME_DEMO_PROGRAM;

class WizardInstall : public ::testing::Test {
protected:
    void SetUp() override {
        InitControls();
        PrepareApp(app);
        EndDemos();
        RemoveProductByForce(app.m_paths.InstallDir);
        ASSERT_FALSE(IsFolder(app.m_paths.InstallDir));
    }
    void TearDown() override {
        wizard.reset();
        EndDemos();
        RemoveProductByForce(app.m_paths.InstallDir);
    }
    static void EndDemos() {
        for (DWORD id : ProcessesNamed(kDemo)) EndProcess(id);
    }

    CPropertySheet& Sheet() { return wizard->m_sheet; }
    int Active() { return Sheet().GetActiveIndex(); }
    bool Usable(int id) { return ButtonUsable(sheet, id); }
    std::wstring Installed(const wchar_t* name) {
        return std::wstring(app.m_paths.InstallDir) + L"\\" + name;
    }

    void ToConfirmation() {
        wizard = std::make_unique<CLPSWizard>(&app);
        ASSERT_TRUE(Sheet().Create());
        sheet = Sheet().m_hWnd;
        ShowWindow(sheet, SW_SHOW);
        PumpPending(Sheet());
        ASSERT_TRUE(PumpUntil(
            Sheet(), [&] { return Usable(ID_WIZNEXT); }, 3000));
        ASSERT_TRUE(ClickButton(Sheet(), ID_WIZNEXT));
        SendDlgItemMessageW(wizard->m_agreement.m_hWnd, IDC_AGREEMENT_AGREE, BM_CLICK, 0, 0);
        PumpPending(Sheet());
        ASSERT_TRUE(ClickButton(Sheet(), ID_WIZNEXT));
        ASSERT_TRUE(ClickButton(Sheet(), ID_WIZNEXT));
        ASSERT_EQ(Active(), 3);
    }
    // The space bar on a component of the tree (posted keys) clears its box.
    void UntickWithSpace(HTREEITEM item) {
        CTreeCtrl& tree = wizard->m_products.m_tree;
        SetFocus(tree.m_hWnd);
        tree.SelectItem(item);
        PostMessageW(tree.m_hWnd, WM_KEYDOWN, VK_SPACE, 0x00390001);
        PostMessageW(tree.m_hWnd, WM_KEYUP, VK_SPACE, 0xC0390001);
        PumpFor(Sheet(), 200);
    }
    // Next on the confirmation page, nothing pumped yet: the worker runs.
    void StartInstallation() {
        ASSERT_TRUE(ButtonUsable(sheet, ID_WIZNEXT));
        SendMessageW(GetDlgItem(sheet, ID_WIZNEXT), BM_CLICK, 0, 0);
        ASSERT_EQ(Active(), 4);
        ASSERT_NE(wizard->m_progress.m_worker.Get(), nullptr);
    }
    void WaitForTheEndPage() {
        ASSERT_TRUE(PumpUntil(
            Sheet(),
            [&] {
                int page = Active();
                return page == 5 || page == 6;
            },
            60000));
        PumpPending(Sheet());
    }
    void ToFinish() {
        ToConfirmation();
        StartInstallation();
        WaitForTheEndPage();
        ASSERT_EQ(Active(), 5);
    }
    void ExpectNothingInstalled() {
        EXPECT_FALSE(IsFolder(app.m_paths.InstallDir));
        EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallKeyPath));
        EXPECT_FALSE(IsFolder(StartMenuProductFolder()));
    }

    CLPSSetupState app;
    NeverStopCallback quiet;
    std::unique_ptr<CLPSWizard> wizard;
    HWND sheet = nullptr;
};

TEST_F(WizardInstall, ARunInstallsShowsItsProgressAndEndsOnTheFinishPage) {
    ToConfirmation();
    StartInstallation();
    // Let the worker end, then look at the progress page before its end is handled.
    ASSERT_EQ(WaitForSingleObject(wizard->m_progress.m_worker.Get(), 60000), WAIT_OBJECT_0);
    PumpAllExcept(Sheet(), WM_INSTALL_DONE);
    HWND progress = wizard->m_progress.m_hWnd;
    EXPECT_EQ(Active(), 4);
    EXPECT_EQ(WindowText(sheet), kCaption);
    EXPECT_FALSE(Usable(ID_WIZBACK));
    EXPECT_FALSE(Usable(ID_WIZNEXT));
    EXPECT_FALSE(Usable(ID_WIZFINISH));
    EXPECT_TRUE(Usable(IDCANCEL));
    EXPECT_FALSE(Usable(IDHELP));
    // The last report of a run with every component is the redistributables' end.
    EXPECT_EQ(ControlText(progress, IDC_PROGRESS_STATUS), L"Installing Redistributable...");
    EXPECT_EQ(SendDlgItemMessageW(progress, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0), 100);
    RECT client = {};
    GetClientRect(sheet, &client);
    EXPECT_TRUE(WindowShowsBitmap(sheet, wizard->m_header.Get(),
                                  RECT{client.right - 120, 0, client.right - 40, 20}, 49));

    WaitForTheEndPage();
    ASSERT_EQ(Active(), 5);
    EXPECT_EQ(wizard->m_canceled.m_hWnd, nullptr);
    EXPECT_EQ(wizard->m_progress.m_worker.Get(), nullptr);
    HWND finish = wizard->m_finish.m_hWnd;
    EXPECT_EQ(WindowText(sheet), kCaption);
    EXPECT_TRUE(Usable(ID_WIZFINISH));
    EXPECT_FALSE(Usable(ID_WIZBACK));
    EXPECT_FALSE(Usable(ID_WIZNEXT));
    EXPECT_FALSE(Usable(IDCANCEL));
    EXPECT_FALSE(Usable(IDHELP));
    EXPECT_EQ(ControlText(finish, IDC_FINISH_TEXT),
              L"Korvane\u00AE Barcode Reader SDK has been successfully installed.");
    EXPECT_EQ(SendDlgItemMessageW(finish, IDC_FINISH_RUN_DEMO, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_TRUE(WindowShowsBitmap(sheet, wizard->m_watermark.Get(), RECT{0, 0, 0, 0}, 120));

    EXPECT_TRUE(FileExists(Installed(L"readme.txt")));
    EXPECT_TRUE(FileExists(Installed(kDemo)));
    EXPECT_TRUE(FileExists(Installed(L"Help\\kvnbarcode.chm")));
    EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallKeyPath));
    EXPECT_FALSE(IsFolder(app.m_paths.PackageDir));
    EXPECT_TRUE(ProcessesNamed(kDemo).empty());

    // Finish with the box ticked starts the installed demo and ends the wizard.
    ASSERT_TRUE(ClickButton(Sheet(), ID_WIZFINISH));
    EXPECT_FALSE(Sheet().IsRunning());
    DWORD start = GetTickCount();
    while (ProcessesNamed(kDemo).empty() && GetTickCount() - start < 5000) Sleep(50);
    EXPECT_EQ(ProcessesNamed(kDemo).size(), 1u);
    // Nothing was rolled back.
    EXPECT_TRUE(FileExists(Installed(kDemo)));
}

TEST_F(WizardInstall, FinishWithTheDemoBoxClearedStartsNothing) {
    ToFinish();
    SendDlgItemMessageW(wizard->m_finish.m_hWnd, IDC_FINISH_RUN_DEMO, BM_CLICK, 0, 0);
    ASSERT_EQ(SendDlgItemMessageW(wizard->m_finish.m_hWnd, IDC_FINISH_RUN_DEMO, BM_GETCHECK, 0, 0),
              BST_UNCHECKED);
    ASSERT_TRUE(ClickButton(Sheet(), ID_WIZFINISH));
    EXPECT_FALSE(Sheet().IsRunning());
    Sleep(1500);
    EXPECT_TRUE(ProcessesNamed(kDemo).empty());
    EXPECT_TRUE(FileExists(Installed(kDemo)));
}

TEST_F(WizardInstall, ClosingTheFinishPageAnotherWayStartsNoDemoAndRemovesNothing) {
    ToFinish();
    // The window's close box: the sheet ends without Finish.
    SendMessageW(sheet, WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpFor(Sheet(), 300);
    EXPECT_FALSE(Sheet().IsRunning());
    Sleep(1000);
    EXPECT_TRUE(ProcessesNamed(kDemo).empty());
    EXPECT_TRUE(FileExists(Installed(kDemo)));
}

TEST_F(WizardInstall, CancelDuringTheInstallationEndsOnTheInterruptedPageAndCloseRollsBack) {
    // What an earlier run left, empty: Close gives it back as it was.
    CreateFolderPath(app.m_paths.InstallDir);
    ASSERT_TRUE(IsFolder(app.m_paths.InstallDir));
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kUninstallKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);

    ToConfirmation();
    StartInstallation();
    SendMessageW(GetDlgItem(sheet, IDCANCEL), BM_CLICK, 0, 0);
    // The cancel has stopped the worker before it returned.
    EXPECT_EQ(wizard->m_progress.m_worker.Get(), nullptr);
    EXPECT_EQ(wizard->m_progress.m_running.load(), 0);
    WaitForTheEndPage();
    ASSERT_EQ(Active(), 6);
    EXPECT_EQ(wizard->m_finish.m_hWnd, nullptr) << "the finish page was shown";
    // The worker stopped by itself, cleaning up its working folder.
    EXPECT_FALSE(IsFolder(app.m_paths.PackageDir));

    EXPECT_EQ(WindowText(sheet), kCaption);
    EXPECT_TRUE(Usable(ID_WIZFINISH));
    EXPECT_EQ(ButtonText(sheet, ID_WIZFINISH), L"Close");
    EXPECT_FALSE(Usable(ID_WIZBACK));
    EXPECT_FALSE(Usable(ID_WIZNEXT));
    EXPECT_FALSE(Usable(IDCANCEL));
    EXPECT_FALSE(Usable(IDHELP));
    EXPECT_EQ(ControlText(wizard->m_canceled.m_hWnd, IDC_CANCELED_TITLE),
              L"The Installation process was interrupted.");
    EXPECT_TRUE(WindowShowsBitmap(sheet, wizard->m_watermark.Get(), RECT{0, 0, 0, 0}, 120));

    ASSERT_TRUE(ClickButton(Sheet(), ID_WIZFINISH));
    EXPECT_FALSE(Sheet().IsRunning());
    EXPECT_TRUE(IsFolder(app.m_paths.InstallDir));
    EXPECT_TRUE(ListFolder(app.m_paths.InstallDir).empty());
    EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallKeyPath));
    EXPECT_FALSE(IsFolder(StartMenuProductFolder()));
    EXPECT_TRUE(ProcessesNamed(kDemo).empty());
}

TEST_F(WizardInstall, CancelAfterTheWorkerEndedShowsTheFinishPageThenTheInterruptedPage) {
    ToConfirmation();
    StartInstallation();
    ASSERT_EQ(WaitForSingleObject(wizard->m_progress.m_worker.Get(), 60000), WAIT_OBJECT_0);
    // Its end is still waiting in the queue when the user cancels.
    SendMessageW(GetDlgItem(sheet, IDCANCEL), BM_CLICK, 0, 0);
    WaitForTheEndPage();
    PumpFor(Sheet(), 200);
    ASSERT_EQ(Active(), 6);
    EXPECT_NE(wizard->m_finish.m_hWnd, nullptr);
    EXPECT_TRUE(FileExists(Installed(kDemo)));
    ASSERT_TRUE(ClickButton(Sheet(), ID_WIZFINISH));
    ExpectNothingInstalled();
}

// The worker's reports and its end reach the page whichever loop dispatches
// them: a nested loop such as a message box's, or the system's own loop while
// the user holds the title bar. Handled twice, the end would press Next again
// and leave the finish page.
TEST_F(WizardInstall, TheInstallationEndsOnTheFinishPageThroughAPlainDispatchLoop) {
    ToConfirmation();
    StartInstallation();
    DWORD start = GetTickCount();
    while (Active() == 4 && GetTickCount() - start < 60000) {
        MSG msg;
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    ASSERT_EQ(Active(), 5);
    HWND progress = wizard->m_progress.m_hWnd;
    EXPECT_EQ(ControlText(progress, IDC_PROGRESS_STATUS), L"Installing Redistributable...");
    EXPECT_EQ(SendDlgItemMessageW(progress, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0), 100);
    EXPECT_EQ(wizard->m_progress.m_worker.Get(), nullptr);
    PumpFor(Sheet(), 300);
    EXPECT_EQ(Active(), 5);
    EXPECT_EQ(wizard->m_canceled.m_hWnd, nullptr);
    EXPECT_TRUE(Usable(ID_WIZFINISH));
    EXPECT_FALSE(Usable(IDCANCEL));
}

// Ends the system's move loop (Return) once the wizard has left the progress
// page, or after a minute.
struct MoveLoopWatch {
    CPropertySheet* sheet = nullptr;
    int ticks = 0;
    int pageWhenEnded = -1;
} g_moveWatch;

void CALLBACK EndMoveWhenInstalled(HWND, UINT, UINT_PTR timer, DWORD) {
    int page = g_moveWatch.sheet->GetActiveIndex();
    if (page == 4 && ++g_moveWatch.ticks < 600) return;
    KillTimer(nullptr, timer);
    g_moveWatch.pageWhenEnded = page;
    PostMessageW(g_moveWatch.sheet->m_hWnd, WM_KEYDOWN, VK_RETURN, 0);
}

TEST_F(WizardInstall, TheInstallationEndsOnTheFinishPageWhileTheWindowIsBeingMoved) {
    ToConfirmation();
    StartInstallation();
    g_moveWatch = MoveLoopWatch{&Sheet()};
    UINT_PTR timer = SetTimer(nullptr, 0, 100, &EndMoveWhenInstalled);
    ASSERT_NE(timer, 0u);
    // The keyboard move of the system menu: a modal loop until Return.
    SendMessageW(sheet, WM_SYSCOMMAND, SC_MOVE, 0);
    KillTimer(nullptr, timer);
    EXPECT_EQ(g_moveWatch.pageWhenEnded, 5);
    PumpFor(Sheet(), 300);
    EXPECT_EQ(Active(), 5);
    EXPECT_EQ(wizard->m_canceled.m_hWnd, nullptr);
    EXPECT_TRUE(Usable(ID_WIZFINISH));
    EXPECT_TRUE(FileExists(Installed(kDemo)));
}

// The interrupted page closed another way than its Close button: the sheet
// ends, nothing is rolled back and no demo starts.
TEST_F(WizardInstall, TheInterruptedPageClosedByItsCloseBoxOrAltF4RollsNothingBack) {
    for (bool altF4 : {false, true}) {
        ToConfirmation();
        StartInstallation();
        ASSERT_TRUE(PumpUntil(
            Sheet(), [&] { return FileExists(Installed(kDemo)); }, 60000));
        SendMessageW(GetDlgItem(sheet, IDCANCEL), BM_CLICK, 0, 0);
        WaitForTheEndPage();
        ASSERT_EQ(Active(), 6);
        if (altF4) {
            SetForegroundWindow(sheet);
            INPUT keys[4] = {};
            const WORD order[4] = {VK_MENU, VK_F4, VK_F4, VK_MENU};
            for (int i = 0; i < 4; ++i) {
                keys[i].type = INPUT_KEYBOARD;
                keys[i].ki.wVk = order[i];
                keys[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
            }
            SendInput(4, keys, sizeof(INPUT));
        } else {
            SendMessageW(sheet, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
        PumpUntil(
            Sheet(), [&] { return !Sheet().IsRunning(); }, 5000);
        EXPECT_FALSE(Sheet().IsRunning()) << (altF4 ? "Alt+F4" : "close box");
        EXPECT_TRUE(IsFolder(app.m_paths.InstallDir)) << (altF4 ? "Alt+F4" : "close box");
        EXPECT_TRUE(ProcessesNamed(kDemo).empty());
        wizard.reset();
        RollbackInstallation(&app, &quiet);
    }
}

// Finish with the demo box ticked when the SDK tools (and with them the
// demo) were not chosen: nothing starts, nothing fails, the wizard ends.
TEST_F(WizardInstall, FinishWithTheDemoBoxTickedButNoToolsInstalledStartsNothing) {
    ToConfirmation();
    ASSERT_TRUE(ClickButton(Sheet(), ID_WIZBACK));
    UntickWithSpace(wizard->m_products.m_tree.GetRootItem());
    ASSERT_TRUE(ClickButton(Sheet(), ID_WIZNEXT));
    StartInstallation();
    WaitForTheEndPage();
    ASSERT_EQ(Active(), 5);
    EXPECT_FALSE(FileExists(Installed(kDemo)));
    EXPECT_TRUE(FileExists(Installed(L"readme.txt")));
    ASSERT_EQ(SendDlgItemMessageW(wizard->m_finish.m_hWnd, IDC_FINISH_RUN_DEMO, BM_GETCHECK, 0, 0),
              BST_CHECKED);
    ASSERT_TRUE(ClickButton(Sheet(), ID_WIZFINISH));
    EXPECT_FALSE(Sheet().IsRunning());
    Sleep(1000);
    EXPECT_TRUE(ProcessesNamed(kDemo).empty());
    EXPECT_TRUE(FileExists(Installed(L"readme.txt"))) << "Finish rolled back";
}

// A progress page whose worker hangs in the first report after the main
// components are in place, so a cancel's wait runs out.
class HangingProgressPage : public CLPSProgressPpg {
public:
    using CLPSProgressPpg::CLPSProgressPpg;
    int ReportProgress(int stringId, int percent) override {
        // The first "Installing SDK Tools..." report, at 0 %, starts the tools' step.
        if (stringId == IDS_INSTALLING_TOOLS && percent == 0) {
            hung = true;
            WaitForSingleObject(never, INFINITE);
            returned = true;
        }
        return CLPSProgressPpg::ReportProgress(stringId, percent);
    }
    std::atomic<bool> hung{false}, returned{false};
    HANDLE never = CreateEventW(nullptr, TRUE, FALSE, nullptr);
};

TEST_F(WizardInstall, AWorkerThatDoesNotStopIsEndedAndCloseStillRollsBack) {
    app.m_nCancelPage = 1;
    CPropertySheet frame(IDS_SETUP_CAPTION);
    frame.m_psh.dwFlags |= PSH_WIZARD;
    HangingProgressPage progress(&app);
    CLPSCanceledPpg canceled(&app);
    frame.AddPage(&progress);
    frame.AddPage(&canceled);
    ASSERT_TRUE(frame.Create());
    ASSERT_TRUE(PumpUntil(
        frame, [&] { return progress.hung.load(); }, 60000));
    ASSERT_TRUE(FileExists(Installed(L"readme.txt")));
    ASSERT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallKeyPath));
    SendMessageW(GetDlgItem(frame.m_hWnd, IDCANCEL), BM_CLICK, 0, 0);
    EXPECT_EQ(progress.m_worker.Get(), nullptr);
    ASSERT_TRUE(PumpUntil(
        frame, [&] { return frame.GetActiveIndex() == 1; }, 5000));
    EXPECT_FALSE(progress.returned.load()) << "the worker was not ended";
    ASSERT_TRUE(ClickButton(frame, ID_WIZFINISH));
    EXPECT_FALSE(frame.IsRunning());
    ExpectNothingInstalled();
    CloseHandle(progress.never);
}

TEST_F(WizardInstall, OnlyTheChosenComponentsAreInstalled) {
    ToConfirmation();
    ASSERT_TRUE(ClickButton(Sheet(), ID_WIZBACK));
    // Clear help and samples on the component page (keyboard).
    CTreeCtrl& tree = wizard->m_products.m_tree;
    HTREEITEM help = tree.GetNextSiblingItem(tree.GetRootItem());
    HTREEITEM samples = tree.GetNextSiblingItem(help);
    for (HTREEITEM item : {help, samples}) UntickWithSpace(item);
    ASSERT_TRUE(ClickButton(Sheet(), ID_WIZNEXT));
    EXPECT_EQ(ControlText(wizard->m_confirm.m_hWnd, IDC_CONFIRM_SUMMARY),
              L"[X] Korvane\u00AE Barcode Reader Tools\r\n\r\n[X] Redistributable components\r\n\r\n");
    StartInstallation();
    WaitForTheEndPage();
    ASSERT_EQ(Active(), 5);
    EXPECT_TRUE(FileExists(Installed(kDemo)));
    EXPECT_TRUE(FileExists(Installed(L"Redistributables\\redist.txt")));
    EXPECT_FALSE(FileExists(Installed(L"Help\\kvnbarcode.chm")));
    EXPECT_FALSE(FileExists(Installed(L"Samples\\readme.txt")));
}

}  // namespace
