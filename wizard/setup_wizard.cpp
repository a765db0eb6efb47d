#include "wizard/setup_wizard.h"
#include "app/setup_state.h"
#include "framework/winapp.h"
#include "wizard/resource_ids.h"

DWORD WizardSheetFlags(DWORD frameworkFlags) {
    return ((frameworkFlags | PSH_WIZARD) & ~static_cast<DWORD>(PSH_HASHELP)) | kWizardSheetFlags;
}

CLPSWizard::CLPSWizard(CLPSSetupState* app)
    : m_sheet(IDS_SETUP_CAPTION, nullptr, 0),
      m_welcome(app),
      m_agreement(app),
      m_products(app),
      m_confirm(app),
      m_progress(app),
      m_finish(app),
      m_canceled(app) {
    HINSTANCE instance = app ? app->m_hResources : AfxGetInstanceHandle();
    CPropertyPage* pages[] = {&m_welcome,  &m_agreement, &m_products, &m_confirm,
                              &m_progress, &m_finish,    &m_canceled};
    for (CPropertyPage* page : pages) {
        page->m_psp.dwFlags &= ~static_cast<DWORD>(PSP_HASHELP);
        page->m_psp.hInstance = instance;
    }
    // The outer pages show the watermark instead of the header.
    m_welcome.m_psp.dwFlags |= PSP_HIDEHEADER;
    m_finish.m_psp.dwFlags |= PSP_HIDEHEADER;
    m_canceled.m_psp.dwFlags |= PSP_HIDEHEADER;
    for (CPropertyPage* page : pages) m_sheet.AddPage(page);

    m_sheet.m_psh.dwFlags = WizardSheetFlags(m_sheet.m_psh.dwFlags);
    if (app) app->m_nCancelPage = kCanceledPagePosition;
    m_sheet.m_psh.hInstance = instance;
    m_watermark.Reset(LoadBitmapW(instance, L"IDB_WIZARD_WATER"));
    m_header.Reset(LoadBitmapW(instance, L"IDB_WIZARD_HEADER"));
    m_sheet.m_psh.hbmWatermark = m_watermark.Get();
    m_sheet.m_psh.hbmHeader = m_header.Get();
}

CLPSWizard::~CLPSWizard() {
    // The windows go before the pages and bitmaps they use (the bitmaps'
    // members delete them next).
    m_sheet.DestroySheet();
}
