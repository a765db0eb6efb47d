#pragma once
// Position 1: the licence agreement; Next only after "I Agree".
#include <string>
#include "foundation/owned_handle.h"
#include "framework/property_page.h"

class CLPSSetupState;

class CLPSLicAgreementPpg : public CPropertyPage {
public:
    explicit CLPSLicAgreementPpg(CLPSSetupState* app);
    ~CLPSLicAgreementPpg() override;

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    CLPSSetupState* m_app;
    int m_choice;         // 0 "I Do NOT Agree", 1 "I Agree"
    std::wstring m_text;  // the agreement text shown
    CWFont m_textFont;
};
