#pragma once
// The installation proper: decode the package, install the main components
// and each selected component, then remove the working folder.
#include "app/setup_state.h"
#include "package/product_installer_callback.h"

class CWRunControl;

// How a run ended, for the wizard: the result of InstallProducts alone
// cannot tell (it is also 0 when a shortcut failed). A run installed the
// product only when the package was decoded and nothing failed.
struct InstallOutcome {
    int packageDecoded = 0;  // the pipeline succeeded
    int stopped = 0;         // a report was answered with zero
    int failures = 0;        // files and folders that could not be extracted, created or copied
};

// run, when given, is the control made for this run (foundation/run_control.h):
// its stop request ends a folder copy between two files, it is marked once
// only the removal of the working folder is left, and outcome->failures is
// its failure count at the end. Without one the run makes its own, which is
// never asked to stop.
int InstallProducts(CLPSSetupState* app, IProductInstallerCallbak* callback,
                    InstallOutcome* outcome = nullptr, CWRunControl* run = nullptr);
// The steps of a run; each copy stops when run is asked to and counts its
// failures in run (without one: never stopped, nothing counted).
int InstallMainComponents(CLPSSetupState* app, IProductInstallerCallbak* callback,
                          CWRunControl* run = nullptr);
int InstallTools(CLPSSetupState* app, IProductInstallerCallbak* callback, CWRunControl* run = nullptr);
int InstallHelp(CLPSSetupState* app, IProductInstallerCallbak* callback, CWRunControl* run = nullptr);
int InstallSamples(CLPSSetupState* app, IProductInstallerCallbak* callback, CWRunControl* run = nullptr);
int InstallRedistributables(CLPSSetupState* app, IProductInstallerCallbak* callback,
                            CWRunControl* run = nullptr);
// One package folder level: files at its top replaced unless the installed
// one carries a newer version, subfolders copied whole (CopyFolderTree).
int CopyComponentFolder(const wchar_t* destination, const wchar_t* source, CWRunControl* run = nullptr);

extern const wchar_t kUninstallKeyPath[];  // under HKEY_LOCAL_MACHINE
