#pragma once
class CLPSSetupState;
// Builds the seven-page wizard and runs it modally. False when its window
// could not be created: then a message box (if even that can show) has told
// the user that the setup cannot start, and nothing was changed.
bool RunWizard(CLPSSetupState* app);
