// A program whose agreement resource is missing or empty and whose package
// holds folders only: the agreement page stays empty and "I Agree" still
// leads on; the run installs the folders and ends as an undisturbed run does.
#include <windows.h>

#include <cstdio>
#include <memory>

#include <gtest/gtest.h>

#include "app/product_names.h"
#include "app/install_sequence.h"
#include "app/rollback.h"
#include "tests/win32/app/install_checks.h"
#include "tests/win32/faults/faults_support.h"
#include "package/decode_pipeline.h"
#include "wizard/agreement_text.h"
#include "wizard/resource_ids.h"
#include "wizard/setup_wizard.h"
#include "wizard_driver.h"

namespace {

const wchar_t* const kFolders[] = {L"docs",    L"Help", L"Samples",         L"Images",
                                   L"include", L"lib",  L"Redistributables"};

class FoldersOnly : public ::testing::Test {
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
    void ExpectFoldersOnly() {
        for (const wchar_t* folder : kFolders)
            EXPECT_TRUE(IsFolder(Join(app.m_paths.InstallDir, folder))) << Narrow(folder);
        EXPECT_EQ(0u, CountEntries(app.m_paths.InstallDir, true)) << "a package of folders installs no file";
        EXPECT_FALSE(PathExists(app.m_paths.PackageDir));
        EXPECT_TRUE(UninstallKeyExists());
    }
    CLPSSetupState app;
    std::unique_ptr<CLPSWizard> wizard;
};

TEST_F(FoldersOnly, TheAgreementResourceIsMissingOrEmptyAsBuilt) {
    HRSRC resource = FindResourceW(app.m_hResources, kAgreementResourceName, kPayloadResourceType);
#if KVN_FAULTS_EMPTY_AGREEMENT
    ASSERT_NE(nullptr, resource);
    EXPECT_EQ(0u, SizeofResource(app.m_hResources, resource));
#else
    EXPECT_EQ(nullptr, resource);
#endif
}

TEST_F(FoldersOnly, TheAgreementTextIsNull) {
    EXPECT_EQ(nullptr, LoadAgreementText(&app));
    EXPECT_EQ(0u, app.m_agreementText.GetLength());
}

TEST_F(FoldersOnly, TheSequenceInstallsTheFoldersWithoutAFailure) {
    InstallOutcome outcome;
    RecordingCallback callback;
    InstallProducts(&app, &callback, &outcome);
    EXPECT_TRUE(ClaimsSuccess(outcome))
        << "decoded " << outcome.packageDecoded << ", failures " << outcome.failures;
    EXPECT_EQ(StepReports(kAll), CheckPipelineReports(callback.reports, CountEntries(PackedTree())));
    ExpectFoldersOnly();
    NeverStopCallback quiet;
    RollbackInstallation(&app, &quiet);
    EXPECT_FALSE(FindLeftovers(app).Any()) << FindLeftovers(app).Describe();
}

TEST_F(FoldersOnly, TheWizardRunsThroughWithAnEmptyAgreementPage) {
    wizard = std::make_unique<CLPSWizard>(&app);
    CPropertySheet& sheet = wizard->m_sheet;
    ASSERT_TRUE(sheet.Create());
    HWND window = sheet.m_hWnd;
    ShowWindow(window, SW_SHOW);
    wizard_test::PumpPending(sheet);
    ASSERT_TRUE(wizard_test::PumpUntil(
        sheet, [&] { return wizard_test::ButtonUsable(window, ID_WIZNEXT); }, 5000));
    ASSERT_TRUE(wizard_test::ClickButton(sheet, ID_WIZNEXT));
    ASSERT_EQ(1, sheet.GetActiveIndex());

    HWND agreement = wizard->m_agreement.m_hWnd;
    EXPECT_EQ(L"", wizard_test::ControlText(agreement, IDC_AGREEMENT_TEXT));
    EXPECT_FALSE(wizard_test::ButtonUsable(window, ID_WIZNEXT)) << "Next before a choice";
    SendDlgItemMessageW(agreement, IDC_AGREEMENT_AGREE, BM_CLICK, 0, 0);
    wizard_test::PumpPending(sheet);
    EXPECT_TRUE(wizard_test::ButtonUsable(window, ID_WIZNEXT)) << "\"I Agree\" leads on without a text";
    ASSERT_TRUE(wizard_test::ClickButton(sheet, ID_WIZNEXT));
    ASSERT_TRUE(wizard_test::ClickButton(sheet, ID_WIZNEXT));
    ASSERT_EQ(3, sheet.GetActiveIndex());
    ASSERT_TRUE(wizard_test::ClickButton(sheet, ID_WIZNEXT));

    ASSERT_TRUE(wizard_test::PumpUntil(
        sheet,
        [&] {
            int page = sheet.GetActiveIndex();
            return page == 5 || page == 6;
        },
        60000));
    wizard_test::PumpFor(sheet, 200);
    EXPECT_EQ(5, sheet.GetActiveIndex()) << "nothing failed: the finish page";
    ExpectFoldersOnly();
    std::printf("shortcuts made for a package of folders: %u\n",
                unsigned(ListFolder(StartMenuProductFolder()).size()));

    // Finish with the demo box ticked: there is no demo, the wizard ends all the same.
    ASSERT_EQ(BST_CHECKED,
              SendDlgItemMessageW(wizard->m_finish.m_hWnd, IDC_FINISH_RUN_DEMO, BM_GETCHECK, 0, 0));
    ASSERT_TRUE(wizard_test::ClickButton(sheet, ID_WIZFINISH));
    EXPECT_FALSE(sheet.IsRunning());
    EXPECT_TRUE(wizard_test::ProcessesNamed(L"" KVN_NAME_DEMO_PROGRAM).empty());
}

}  // namespace
