// Builds the seven-page wizard and runs it.
#include "wizard/run_wizard.h"
#include "wizard/setup_wizard.h"

void RunWizard(CLPSSetupState* app) {
    CLPSWizard wizard(app);
    wizard.m_sheet.DoModal();
}
