#include "wizard/finish_page.h"
#include "app/shortcuts.h"
#include "framework/data_exchange.h"
#include "wizard/page_support.h"
#include "wizard/resource_ids.h"

CLPSFinishPpg::CLPSFinishPpg(CLPSSetupState* app)
    : CPropertyPage(IDD_FINISH, IDS_SETUP_CAPTION), m_app(app), m_runDemo(0) {}

CLPSFinishPpg::~CLPSFinishPpg() = default;  // m_titleFont deletes the font

void CLPSFinishPpg::DoDataExchange(CDataExchange* pDX) {
    CPropertyPage::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_FINISH_RUN_DEMO, m_runDemo);
}

BOOL CLPSFinishPpg::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    SetPageTitle(m_hWnd, IDC_FINISH_TITLE, &m_titleFont);
    m_runDemo = 1;
    UpdateData(FALSE);
    return TRUE;
}

BOOL CLPSFinishPpg::OnSetActive() {
    // Files a program held replace theirs at the next restart: one line says so.
    if (m_app && m_app->m_journal.RestartNeeded()) {
        const std::wstring text = GetControlText(m_hWnd, IDC_FINISH_TEXT);
        const std::wstring restart = LoadResourceString(IDS_RESTART_REQUIRED);
        if (text.find(restart) == std::wstring::npos)
            SetDlgItemTextW(m_hWnd, IDC_FINISH_TEXT, (text + L"\r\n\r\n" + restart).c_str());
        GrowToFitText(m_hWnd, IDC_FINISH_TEXT);
    }
    PostWizardButtons(*this, PSWIZB_FINISH);
    PostToSheet(*this, PSM_CANCELTOCLOSE);
    return CPropertyPage::OnSetActive();
}

BOOL CLPSFinishPpg::OnWizardFinish() {
    UpdateData(TRUE);
    if (m_runDemo && m_app) LaunchDemo(m_app);
    return CPropertyPage::OnWizardFinish();
}
