#pragma once
// Position 0: greets the user, shows the setup's version and holds Next back
// while a program the installation would replace is running.
#include <string>

#include "foundation/owned_handle.h"
#include "framework/controls.h"
#include "framework/property_page.h"

class CLPSSetupState;

class CLPSWelcomePpg : public CPropertyPage {
public:
    explicit CLPSWelcomePpg(CLPSSetupState* app);
    ~CLPSWelcomePpg() override;

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnKillActive() override;
    void OnTimer(UINT_PTR timerId) override;

    static constexpr UINT_PTR kPollTimer = 1;
    static constexpr UINT kFirstPollMs = 100;
    static constexpr UINT kPollMs = 2000;

    CWFont m_titleFont;
    UINT_PTR m_timerId;
    CLPSSetupState* m_app;
    CListBox m_processList;

private:
    void ShowVersion();

    std::wstring m_otherSetup;  // the list's entry while another setup runs
};
