#pragma once
#include "app/setup_state.h"
#include "package/product_installer_callback.h"

// Removes the installation folder, the uninstall entry and the Start-menu
// folder. Always 0.
int RollbackInstallation(CLPSSetupState* app, IProductInstallerCallbak* callback);
