#include "wizard/confirm_page.h"
#include "app/setup_state.h"
#include "framework/data_exchange.h"
#include "wizard/page_support.h"
#include "wizard/resource_ids.h"

std::wstring BuildConfirmSummary(const CWObjArray<CLPProduct>& products) {
    std::wstring summary;
    for (int i = 0; i < products.GetCount(); ++i) {
        CLPProduct* product = products.GetAt(i);
        if (!product || !product->selected) continue;
        summary += L"[X] ";
        summary += product->GetName();
        summary += L"\r\n";
        summary += L"\r\n";
    }
    return summary;
}

CLPSConfirmPpg::CLPSConfirmPpg(CLPSSetupState* app)
    : CPropertyPage(IDD_CONFIRM, IDS_SETUP_CAPTION, IDS_CONFIRM_TITLE, IDS_CONFIRM_SUBTITLE), m_app(app) {}

void CLPSConfirmPpg::DoDataExchange(CDataExchange* pDX) {
    CPropertyPage::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_CONFIRM_SUMMARY, m_summary);
}

BOOL CLPSConfirmPpg::OnSetActive() {
    PostWizardButtons(*this, PSWIZB_BACK | PSWIZB_NEXT);
    m_summary.clear();
    UpdateData(FALSE);
    if (m_app) m_summary = BuildConfirmSummary(m_app->m_products);
    UpdateData(FALSE);
    return CPropertyPage::OnSetActive();
}
