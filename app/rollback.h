#pragma once
#include "app/setup_app.h"
#include "wizard/product_installer_callback.h"

// Removes the installation folder, the uninstall entry and the Start-menu
// folder. Always 0.
int RollbackInstallation(CKVNBarcodeSetupApp* app, IProductInstallerCallbak* callback);
