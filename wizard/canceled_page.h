#pragma once
// Position 6: the installation was interrupted; "Close" removes what was
// installed and ends the wizard.
#include "foundation/owned_handle.h"
#include "framework/property_page.h"
#include "package/product_installer_callback.h"

class CLPSSetupState;

class CLPSCanceledPpg : public CPropertyPage, public IProductInstallerCallbak {
public:
    explicit CLPSCanceledPpg(CLPSSetupState* app);
    ~CLPSCanceledPpg() override;

    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnWizardFinish() override;

    // The rollback's reports are not shown; it is never asked to stop.
    int ReportProgress(int, int) override { return 1; }
    void ReservedOperation(int, int) override {}

    CLPSSetupState* m_app;
    CWFont m_titleFont;
};
