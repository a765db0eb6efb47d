#pragma once
// Position 5: the installation has ended; Finish may start the demo.
#include "framework/property_page.h"

class CKVNBarcodeSetupApp;

class CLPSFinishPpg : public CPropertyPage {
public:
    explicit CLPSFinishPpg(CKVNBarcodeSetupApp* app);
    ~CLPSFinishPpg() override;

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnWizardFinish() override;

    HFONT m_titleFont;
    CKVNBarcodeSetupApp* m_app;
    int m_runDemo;  // "Run Demo Application on Exit"
};
