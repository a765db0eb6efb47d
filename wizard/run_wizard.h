#pragma once
class CKVNBarcodeSetupApp;
// Builds the seven-page wizard and runs it modally.
void RunWizard(CKVNBarcodeSetupApp* app);
