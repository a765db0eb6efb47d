// Builds the seven-page wizard and runs it.
#include "wizard/run_wizard.h"
#include "wizard/setup_wizard.h"
#include "app/setup_state.h"
#include "package/string_ids.h"
#include "wizard/page_support.h"

bool RunWizard(CLPSSetupState* app) {
    CLPSWizard wizard(app);
    if (wizard.m_sheet.DoModal() != -1) return true;
    // No window at all (the desktop refuses one): say so rather than end
    // without a sign. MessageBoxW returns at once when it cannot show either.
    MessageBoxW(nullptr, LoadResourceString(IDS_WIZARD_NOT_SHOWN).c_str(),
                LoadResourceString(IDS_SETUP_CAPTION).c_str(), MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
    return false;
}
