#pragma once
// The application object: the framework's application with the run's state.
#include "app/setup_state.h"
#include "framework/winapp.h"

class CKVNBarcodeSetupApp : public CWinApp, public CLPSSetupState {
public:
    CKVNBarcodeSetupApp();
    ~CKVNBarcodeSetupApp() override;

    // Registers the common controls, loads the icon, computes the paths and
    // the component list from the program's module and runs the wizard.
    BOOL InitInstance() override;  // always FALSE
    // 0 after the wizard ran, 1 when its window could not be created.
    int ExitInstance() override;

private:
    bool m_wizardShown = false;
};
