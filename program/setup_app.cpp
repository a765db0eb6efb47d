// Start-up: everything the wizard needs, then the wizard as the only loop.
#include "program/setup_app.h"

#include <commctrl.h>

#include "wizard/run_wizard.h"

namespace {

const int kProgramIcon = 128;

}  // namespace

CKVNBarcodeSetupApp::CKVNBarcodeSetupApp() : CWinApp(nullptr) {}

// The state goes first (agreement text, component list), then the base.
CKVNBarcodeSetupApp::~CKVNBarcodeSetupApp() = default;

BOOL CKVNBarcodeSetupApp::InitInstance() {
    INITCOMMONCONTROLSEX controls;
    controls.dwSize = sizeof(controls);
    controls.dwICC = 0xFF;
    InitCommonControlsEx(&controls);

    CWinApp::InitInstance();
    m_hResources = m_hInstance;
    m_hIcon = LoadIconW(m_hInstance, MAKEINTRESOURCEW(kProgramIcon));

    ComputeSetupPaths();
    BuildProductList();
    m_wizardShown = RunWizard(this);
    // A run left on the interrupted page by its close box is kept as it is,
    // without the copies it saved.
    m_journal.Commit();
    // The wizard was the program's only loop: end without a message loop.
    return FALSE;
}

int CKVNBarcodeSetupApp::ExitInstance() {
    return m_wizardShown ? 0 : 1;
}
