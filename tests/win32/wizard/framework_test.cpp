// The framework layer over the real property-sheet control: notifications,
// the sheet's loop, page lookup and data exchange.
#include <gtest/gtest.h>
#include <functional>
#include <string>
#include "framework/controls.h"
#include "framework/data_exchange.h"
#include "framework/property_page.h"
#include "framework/property_sheet.h"
#include "wizard/resource_ids.h"
#include "wizard_driver.h"

using namespace wizard_test;

namespace {

constexpr UINT kProbe = WM_APP + 40;

class ProbePage : public CPropertyPage {
public:
    explicit ProbePage(UINT templateId) : CPropertyPage(templateId, IDS_SETUP_CAPTION) {}

    std::function<void(CDataExchange*)> exchange;
    BOOL allowCancel = TRUE;
    BOOL allowFinish = TRUE;
    BOOL consumeProbe = TRUE;
    int initCount = 0, setActiveCount = 0, killActiveCount = 0, cancelCount = 0, finishCount = 0;
    int probesSeen = 0, probesDispatched = 0;
    CPropertySheet* sheetDuringInit = nullptr;

    void DoDataExchange(CDataExchange* pDX) override {
        if (exchange) exchange(pDX);
    }
    BOOL OnInitDialog() override {
        ++initCount;
        sheetDuringInit = GetSheet();
        return CPropertyPage::OnInitDialog();
    }
    BOOL OnSetActive() override {
        ++setActiveCount;
        return CPropertyPage::OnSetActive();
    }
    BOOL OnKillActive() override {
        ++killActiveCount;
        return CPropertyPage::OnKillActive();
    }
    BOOL OnQueryCancel() override {
        ++cancelCount;
        return allowCancel;
    }
    BOOL OnWizardFinish() override {
        ++finishCount;
        return allowFinish;
    }
    BOOL PreTranslateMessage(MSG* msg) override {
        if (msg->hwnd == m_hWnd && msg->message == kProbe) {
            ++probesSeen;
            return consumeProbe;
        }
        return FALSE;
    }
    BOOL OnMessage(UINT message, WPARAM, LPARAM, LRESULT* result) override {
        if (message != kProbe) return FALSE;
        ++probesDispatched;
        *result = 0;
        return TRUE;
    }
};

class FrameworkSheet : public ::testing::Test {
protected:
    void SetUp() override {
        InitControls();
        sheet.m_psh.dwFlags |= PSH_WIZARD;
        sheet.AddPage(&first);
        sheet.AddPage(&second);
    }
    void Open() {
        ASSERT_TRUE(sheet.Create());
        PumpPending(sheet);
    }
    CPropertySheet sheet{IDS_SETUP_CAPTION};
    ProbePage first{IDD_AGREEMENT};
    ProbePage second{IDD_FINISH};
};

TEST_F(FrameworkSheet, PagesFindTheirSheetFromTheirFirstInitialisation) {
    Open();
    EXPECT_EQ(first.sheetDuringInit, &sheet);
    EXPECT_EQ(CPropertySheet::FromHandle(sheet.m_hWnd), &sheet);
    EXPECT_EQ(CPropertySheet::FromHandle(first.m_hWnd), nullptr);
    EXPECT_EQ(CPropertySheet::FromHandle(nullptr), nullptr);
    EXPECT_EQ(first.GetSheetWindow(), sheet.m_hWnd);
    EXPECT_EQ(sheet.GetActiveIndex(), 0);
    EXPECT_EQ(sheet.GetActivePage(), &first);
    // The second page's window is made on its first arrival.
    EXPECT_EQ(second.m_hWnd, nullptr);
}

TEST_F(FrameworkSheet, SelectingAPageLeavesTheOldOneAndEntersTheNewOne) {
    Open();
    EXPECT_EQ(first.setActiveCount, 1);
    EXPECT_TRUE(sheet.SetActivePage(1));
    PumpPending(sheet);
    EXPECT_EQ(sheet.GetActiveIndex(), 1);
    EXPECT_EQ(first.killActiveCount, 1);
    EXPECT_EQ(second.initCount, 1);
    EXPECT_EQ(second.setActiveCount, 1);
    EXPECT_EQ(second.sheetDuringInit, &sheet);
    EXPECT_FALSE(sheet.SetActivePage(2));
    EXPECT_FALSE(sheet.SetActivePage(-1));
    EXPECT_EQ(sheet.GetActiveIndex(), 1);
    // Coming back initialises nothing again.
    EXPECT_TRUE(sheet.SetActivePage(0));
    EXPECT_EQ(first.initCount, 1);
    EXPECT_EQ(first.setActiveCount, 2);
}

TEST_F(FrameworkSheet, CancelClosesTheSheetOnlyWhenThePageAllowsIt) {
    Open();
    first.allowCancel = FALSE;
    ASSERT_TRUE(ClickButton(sheet, IDCANCEL));
    EXPECT_EQ(first.cancelCount, 1);
    EXPECT_TRUE(sheet.IsRunning());
    first.allowCancel = TRUE;
    ASSERT_TRUE(ClickButton(sheet, IDCANCEL));
    EXPECT_EQ(first.cancelCount, 2);
    EXPECT_FALSE(sheet.IsRunning());
    EXPECT_EQ(sheet.GetActiveIndex(), -1);
}

TEST_F(FrameworkSheet, FinishClosesTheSheetOnlyWhenThePageAllowsIt) {
    Open();
    sheet.SetActivePage(1);
    PostMessageW(sheet.m_hWnd, PSM_SETWIZBUTTONS, 0, PSWIZB_FINISH);
    PumpPending(sheet);
    second.allowFinish = FALSE;
    ASSERT_TRUE(ClickButton(sheet, ID_WIZFINISH));
    EXPECT_EQ(second.finishCount, 1);
    EXPECT_TRUE(sheet.IsRunning());
    second.allowFinish = TRUE;
    ASSERT_TRUE(ClickButton(sheet, ID_WIZFINISH));
    EXPECT_EQ(second.finishCount, 2);
    EXPECT_FALSE(sheet.IsRunning());
}

TEST_F(FrameworkSheet, PagesSeeTheirMessagesBeforeDispatchEvenWhenNotActive) {
    Open();
    PostMessageW(first.m_hWnd, kProbe, 0, 0);
    PumpPending(sheet);
    EXPECT_EQ(first.probesSeen, 1);
    EXPECT_EQ(first.probesDispatched, 0);  // consumed

    first.consumeProbe = FALSE;
    PostMessageW(first.m_hWnd, kProbe, 0, 0);
    PumpPending(sheet);
    EXPECT_EQ(first.probesSeen, 2);
    EXPECT_EQ(first.probesDispatched, 1);

    // A page that is no longer active still gets the messages posted to it.
    first.consumeProbe = TRUE;
    sheet.SetActivePage(1);
    PostMessageW(first.m_hWnd, kProbe, 0, 0);
    PumpPending(sheet);
    EXPECT_EQ(first.probesSeen, 3);
    EXPECT_EQ(first.probesDispatched, 1);
    EXPECT_EQ(second.probesSeen, 0);
}

TEST_F(FrameworkSheet, DoModalRunsItsOwnLoopUntilTheSheetEnds) {
    // The press waits in the queue until DoModal's loop takes it.
    first.exchange = [this](CDataExchange* pDX) {
        if (!pDX->m_bSaveAndValidate && first.initCount == 1 && first.setActiveCount == 0) {
            PostMessageW(first.GetSheetWindow(), PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
        }
    };
    sheet.DoModal();
    EXPECT_EQ(first.cancelCount, 1);
    EXPECT_EQ(sheet.m_hWnd, nullptr);
    EXPECT_EQ(first.m_hWnd, nullptr);
}

TEST_F(FrameworkSheet, BoundControlsForgetTheirWindowWithThePage) {
    CListBox list;
    ProbePage welcome(IDD_WELCOME);
    welcome.exchange = [&list](CDataExchange* pDX) { DDX_Control(pDX, IDC_WELCOME_PROCESSES, list); };
    CPropertySheet own(IDS_SETUP_CAPTION);
    own.m_psh.dwFlags |= PSH_WIZARD;
    own.AddPage(&welcome);
    ASSERT_TRUE(own.Create());
    ASSERT_NE(list.m_hWnd, nullptr);
    EXPECT_EQ(list.m_hWnd, GetDlgItem(welcome.m_hWnd, IDC_WELCOME_PROCESSES));
    // Strings appended at the end keep their order although the list sorts.
    list.InsertString(list.GetCount(), L"b.exe");
    list.InsertString(list.GetCount(), L"a.exe");
    EXPECT_EQ(list.GetText(0), L"b.exe");
    EXPECT_EQ(list.GetText(1), L"a.exe");
    EXPECT_EQ(list.GetText(2), L"");
    own.DestroySheet();
    EXPECT_EQ(list.m_hWnd, nullptr);
    EXPECT_EQ(welcome.m_hWnd, nullptr);
}

class DataExchange : public FrameworkSheet {};

TEST_F(DataExchange, RadioGroupCountsOnlyItsRadioButtons) {
    int choice = 0;
    first.exchange = [&choice](CDataExchange* pDX) { DDX_Radio(pDX, IDC_AGREEMENT_NOT_AGREE, choice); };
    choice = 1;
    Open();  // the initialisation moves the field into the buttons
    HWND page = first.m_hWnd;
    EXPECT_EQ(SendDlgItemMessageW(page, IDC_AGREEMENT_AGREE, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendDlgItemMessageW(page, IDC_AGREEMENT_NOT_AGREE, BM_GETCHECK, 0, 0), BST_UNCHECKED);

    choice = 0;
    ASSERT_TRUE(first.UpdateData(FALSE));
    EXPECT_EQ(SendDlgItemMessageW(page, IDC_AGREEMENT_AGREE, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendDlgItemMessageW(page, IDC_AGREEMENT_NOT_AGREE, BM_GETCHECK, 0, 0), BST_CHECKED);

    SendDlgItemMessageW(page, IDC_AGREEMENT_NOT_AGREE, BM_SETCHECK, BST_UNCHECKED, 0);
    SendDlgItemMessageW(page, IDC_AGREEMENT_AGREE, BM_SETCHECK, BST_CHECKED, 0);
    ASSERT_TRUE(first.UpdateData(TRUE));
    EXPECT_EQ(choice, 1);

    // A value beyond the group clears every button; nothing checked reads -1.
    choice = 2;
    ASSERT_TRUE(first.UpdateData(FALSE));
    EXPECT_EQ(SendDlgItemMessageW(page, IDC_AGREEMENT_AGREE, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendDlgItemMessageW(page, IDC_AGREEMENT_NOT_AGREE, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    ASSERT_TRUE(first.UpdateData(TRUE));
    EXPECT_EQ(choice, -1);
}

TEST_F(DataExchange, TextTravelsWholeBothWays) {
    std::wstring text;
    first.exchange = [&text](CDataExchange* pDX) { DDX_Text(pDX, IDC_AGREEMENT_TEXT, text); };
    Open();
    std::wstring longText;
    for (int i = 0; i < 500; ++i) longText += L"line " + std::to_wstring(i) + L" \u00AE of the text\r\n";
    text = longText;
    ASSERT_TRUE(first.UpdateData(FALSE));
    text.clear();
    ASSERT_TRUE(first.UpdateData(TRUE));
    EXPECT_EQ(text, longText);

    SetDlgItemTextW(first.m_hWnd, IDC_AGREEMENT_TEXT, L"");
    ASSERT_TRUE(first.UpdateData(TRUE));
    EXPECT_EQ(text, L"");
}

TEST_F(DataExchange, CheckBoxFollowsTheUsersClick) {
    int runDemo = 1;
    second.exchange = [&runDemo](CDataExchange* pDX) { DDX_Check(pDX, IDC_FINISH_RUN_DEMO, runDemo); };
    Open();
    sheet.SetActivePage(1);
    HWND box = GetDlgItem(second.m_hWnd, IDC_FINISH_RUN_DEMO);
    EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_CHECKED);
    SendMessageW(box, BM_CLICK, 0, 0);
    ASSERT_TRUE(second.UpdateData(TRUE));
    EXPECT_EQ(runDemo, 0);
}

TEST_F(DataExchange, AMissingControlFailsTheExchangeButNotTheOthers) {
    std::wstring text = L"kept";
    std::wstring missing = L"x";
    first.exchange = [&](CDataExchange* pDX) {
        DDX_Text(pDX, 4242, missing);
        DDX_Text(pDX, IDC_AGREEMENT_TEXT, text);
    };
    Open();
    EXPECT_FALSE(first.UpdateData(FALSE));
    EXPECT_EQ(ControlText(first.m_hWnd, IDC_AGREEMENT_TEXT), L"kept");
    EXPECT_EQ(missing, L"x");
}

}  // namespace
