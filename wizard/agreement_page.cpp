#include "wizard/agreement_page.h"
#include "framework/data_exchange.h"
#include "wizard/agreement_text.h"
#include "wizard/dialog_font.h"
#include "wizard/page_support.h"
#include "wizard/resource_ids.h"

CLPSLicAgreementPpg::CLPSLicAgreementPpg(CLPSSetupState* app)
    : CPropertyPage(IDD_AGREEMENT, IDS_SETUP_CAPTION, IDS_AGREEMENT_TITLE, IDS_AGREEMENT_SUBTITLE),
      m_app(app),
      m_choice(0) {}

CLPSLicAgreementPpg::~CLPSLicAgreementPpg() = default;  // m_textFont deletes the font

void CLPSLicAgreementPpg::DoDataExchange(CDataExchange* pDX) {
    CPropertyPage::DoDataExchange(pDX);
    DDX_Radio(pDX, IDC_AGREEMENT_NOT_AGREE, m_choice);
    DDX_Text(pDX, IDC_AGREEMENT_TEXT, m_text);
}

BOOL CLPSLicAgreementPpg::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    SetDlgItemFont(m_hWnd, IDC_AGREEMENT_TEXT, L"Courier New", 9, 0, 0, &m_textFont);
    if (!m_app) return TRUE;
    const wchar_t* text = LoadAgreementText(m_app);
    if (text) {
        m_text = text;
        UpdateData(FALSE);
    }
    return TRUE;
}

BOOL CLPSLicAgreementPpg::OnSetActive() {
    // The choice is asked for again on every arrival.
    m_choice = 0;
    UpdateData(FALSE);
    PostWizardButtons(*this, 0);
    return CPropertyPage::OnSetActive();
}

BOOL CLPSLicAgreementPpg::OnCommand(WPARAM wParam, LPARAM) {
    int id = LOWORD(wParam);
    if (HIWORD(wParam) != BN_CLICKED || (id != IDC_AGREEMENT_NOT_AGREE && id != IDC_AGREEMENT_AGREE))
        return FALSE;
    UpdateData(TRUE);
    PostWizardButtons(*this, m_choice > 0 ? PSWIZB_NEXT : 0);
    return TRUE;
}
