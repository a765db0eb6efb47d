#include "wizard/canceled_page.h"
#include "app/rollback.h"
#include "wizard/page_support.h"
#include "wizard/resource_ids.h"

CLPSCanceledPpg::CLPSCanceledPpg(CLPSSetupState* app)
    : CPropertyPage(IDD_CANCELED, IDS_SETUP_CAPTION), m_app(app) {}

CLPSCanceledPpg::~CLPSCanceledPpg() = default;  // m_titleFont deletes the font

BOOL CLPSCanceledPpg::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    SetPageTitle(m_hWnd, IDC_CANCELED_TITLE, &m_titleFont);
    PostWizardButtons(*this, 0);
    return TRUE;
}

BOOL CLPSCanceledPpg::OnSetActive() {
    PostWizardButtons(*this, PSWIZB_FINISH);
    std::wstring close = LoadResourceString(IDS_CLOSE);
    SendMessageW(GetSheetWindow(), PSM_SETFINISHTEXTW, 0, reinterpret_cast<LPARAM>(close.c_str()));
    PostToSheet(*this, PSM_CANCELTOCLOSE);
    return CPropertyPage::OnSetActive();
}

BOOL CLPSCanceledPpg::OnWizardFinish() {
    if (m_app) RollbackInstallation(m_app, this);
    return CPropertyPage::OnWizardFinish();
}
