#pragma once
class CLPSSetupState;
// Builds the seven-page wizard and runs it modally.
void RunWizard(CLPSSetupState* app);
