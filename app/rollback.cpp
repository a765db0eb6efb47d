// Removes what an interrupted installation may have left: the installation
// folder (the working folder with it), the uninstall entry and the product's
// Start-menu folder. Every step is attempted; nothing is reported as failed.
#include "app/rollback.h"

#include "app/install_sequence.h"
#include "app/report_gate.h"
#include "app/shortcuts.h"
#include "foundation/file_tree.h"
#include "foundation/path_util.h"
#include "package/string_ids.h"

namespace {

void RemoveStartMenuFolder() {
    wchar_t programs[kPathUnits];
    if (!GetStartMenuPrograms(programs)) return;
    wchar_t folder[kPathUnits];
    if (JoinPath(folder, kPathUnits, programs, kStartMenuProductFolder, nullptr)) DeleteFolderTree(folder);
    // Succeeds only when the vendor folder is empty: other products' entries stay.
    if (JoinPath(folder, kPathUnits, programs, kStartMenuVendorFolder, nullptr)) RemoveDirectoryW(folder);
}

}  // namespace

int RollbackInstallation(CLPSSetupState* app, IProductInstallerCallbak* callback) {
    SendReport(callback, IDS_DELETING_PROGRAM_FILES, 0);
    // An empty path would make the tree deletion start at the drive's root.
    if (app && app->m_paths.InstallDir[0]) DeleteFolderTree(app->m_paths.InstallDir);
    SendReport(callback, IDS_DELETING_REGISTRY, 30);
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, kUninstallKeyPath);
    SendReport(callback, IDS_DELETING_START_MENU, 50);
    RemoveStartMenuFolder();
    SendReport(callback, IDS_CLEANING_TEMPORARY_FILES, 100);
    return 0;
}
