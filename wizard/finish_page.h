#pragma once
// Position 5: the installation has ended; Finish may start the demo.
#include "foundation/owned_handle.h"
#include "framework/property_page.h"

class CLPSSetupState;

class CLPSFinishPpg : public CPropertyPage {
public:
    explicit CLPSFinishPpg(CLPSSetupState* app);
    ~CLPSFinishPpg() override;

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnWizardFinish() override;

    CWFont m_titleFont;
    CLPSSetupState* m_app;
    int m_runDemo;  // "Run Demo Application on Exit"
};
