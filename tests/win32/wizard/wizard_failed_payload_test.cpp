// A setup whose package cannot be decoded (damaged, or missing from the
// program) does not claim success: the run ends on the interrupted page.
#include <gtest/gtest.h>
#include <memory>
#include "app/install_sequence.h"
#include "app/rollback.h"
#include "app/setup_state.h"
#include "wizard/resource_ids.h"
#include "wizard/setup_wizard.h"
#include "wizard_driver.h"

using namespace wizard_test;

namespace {

TEST(WizardFailedPayload, TheRunEndsOnTheInterruptedPageAndCloseLeavesNothing) {
    InitControls();
    CLPSSetupState app;
    PrepareApp(app);
    RemoveProductByForce(app.m_paths.InstallDir);

    auto wizard = std::make_unique<CLPSWizard>(&app);
    CPropertySheet& sheet = wizard->m_sheet;
    ASSERT_TRUE(sheet.Create());
    HWND window = sheet.m_hWnd;
    PumpPending(sheet);
    ASSERT_TRUE(PumpUntil(
        sheet, [&] { return ButtonUsable(window, ID_WIZNEXT); }, 3000));
    ASSERT_TRUE(ClickButton(sheet, ID_WIZNEXT));
    SendDlgItemMessageW(wizard->m_agreement.m_hWnd, IDC_AGREEMENT_AGREE, BM_CLICK, 0, 0);
    PumpPending(sheet);
    ASSERT_TRUE(ClickButton(sheet, ID_WIZNEXT));
    ASSERT_TRUE(ClickButton(sheet, ID_WIZNEXT));
    ASSERT_EQ(sheet.GetActiveIndex(), 3);
    ASSERT_TRUE(ClickButton(sheet, ID_WIZNEXT));

    ASSERT_TRUE(PumpUntil(
        sheet,
        [&] {
            int page = sheet.GetActiveIndex();
            return page == 5 || page == 6;
        },
        60000));
    PumpFor(sheet, 200);
    EXPECT_EQ(sheet.GetActiveIndex(), 6);
    EXPECT_EQ(wizard->m_finish.m_hWnd, nullptr) << "success was shown";
    EXPECT_EQ(ButtonText(window, ID_WIZFINISH), L"Close");
    EXPECT_TRUE(ButtonUsable(window, ID_WIZFINISH));
    EXPECT_FALSE(ButtonUsable(window, IDCANCEL));

    // The pipeline installed nothing and removed its working folder.
    std::wstring installDir = app.m_paths.InstallDir;
    EXPECT_FALSE(FileExists(installDir + L"\\readme.txt"));
    EXPECT_FALSE(IsFolder(app.m_paths.PackageDir));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallKeyPath));

    ASSERT_TRUE(ClickButton(sheet, ID_WIZFINISH));
    EXPECT_FALSE(sheet.IsRunning());
    EXPECT_FALSE(IsFolder(installDir));
    EXPECT_FALSE(IsFolder(StartMenuProductFolder()));
}

}  // namespace
