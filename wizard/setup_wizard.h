#pragma once
// The sheet and the seven pages of the setup wizard, set up for one run.
// RunWizard runs it modally; a caller may instead create the sheet modeless
// (m_sheet.Create) and pump it step by step.
#include <windows.h>
#include "foundation/owned_handle.h"
#include "framework/property_sheet.h"
#include "wizard/agreement_page.h"
#include "wizard/canceled_page.h"
#include "wizard/confirm_page.h"
#include "wizard/finish_page.h"
#include "wizard/product_list_page.h"
#include "wizard/progress_page.h"
#include "wizard/welcome_page.h"

class CLPSSetupState;

// Sheet header flags the wizard adds to the framework's own (WizardSheetFlags
// adds PSH_WIZARD too): the Wizard97 style with a watermark and a header,
// both given as bitmap handles, the watermark stretched.
constexpr DWORD kWizardSheetFlags =
    PSH_WIZARD97 | PSH_WATERMARK | PSH_USEHBMWATERMARK | PSH_STRETCHWATERMARK | PSH_HEADER | PSH_USEHBMHEADER;
static_assert(kWizardSheetFlags == 0x11D8000, "the flags the sheet has always had");
// Position of the interrupted page.
constexpr int kCanceledPagePosition = 6;

DWORD WizardSheetFlags(DWORD frameworkFlags);

class CLPSWizard {
public:
    explicit CLPSWizard(CLPSSetupState* app);
    ~CLPSWizard();
    CLPSWizard(const CLPSWizard&) = delete;
    CLPSWizard& operator=(const CLPSWizard&) = delete;

    CPropertySheet m_sheet;
    CLPSWelcomePpg m_welcome;
    CLPSLicAgreementPpg m_agreement;
    CLPSProductListPpg m_products;
    CLPSConfirmPpg m_confirm;
    CLPSProgressPpg m_progress;
    CLPSFinishPpg m_finish;
    CLPSCanceledPpg m_canceled;
    CWBitmap m_watermark;
    CWBitmap m_header;
};
