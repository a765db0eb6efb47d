#pragma once
// The installation proper: decode the package, install the main components
// and each selected component, then remove the working folder.
#include "app/setup_state.h"
#include "package/product_installer_callback.h"

// How a run ended, for the wizard: the result of InstallProducts alone
// cannot tell (it is also 0 when a shortcut failed). A run installed the
// product only when the package was decoded and nothing failed.
struct InstallOutcome {
    int packageDecoded = 0;  // the pipeline succeeded
    int stopped = 0;         // a report was answered with zero
    int failures = 0;        // files and folders that could not be extracted, created or copied
};

int InstallProducts(CLPSSetupState* app, IProductInstallerCallbak* callback,
                    InstallOutcome* outcome = nullptr);
int InstallMainComponents(CLPSSetupState* app, IProductInstallerCallbak* callback);
int InstallTools(CLPSSetupState* app, IProductInstallerCallbak* callback);
int InstallHelp(CLPSSetupState* app, IProductInstallerCallbak* callback);
int InstallSamples(CLPSSetupState* app, IProductInstallerCallbak* callback);
int InstallRedistributables(CLPSSetupState* app, IProductInstallerCallbak* callback);
int CopyComponentFolder(const wchar_t* destination, const wchar_t* source);

extern const wchar_t kUninstallKeyPath[];  // under HKEY_LOCAL_MACHINE
