// Undoes an interrupted installation. Where an installation was there before
// the run, the run's journal gives it back: every file the run replaced has
// its old bytes and attributes again, what the run added is gone, the
// uninstall entry and the links are as they were, and what others put into
// the installation folder stays. On a machine where there was none, the
// journal's undo is followed by the removal of the installation folder (the
// working folder with it), the uninstall entry and the product's Start-menu
// folder. Every step is attempted; nothing is reported as failed.
#include "app/rollback.h"

#include "app/install_sequence.h"
#include "app/product_names.h"
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

// The working folder and saved copies a run left behind.
void RemoveRunLeftovers(const SetupPaths& paths) {
    if (!paths.InstallDir[0]) return;
    if (paths.PackageDir[0]) DeleteFolderTree(paths.PackageDir);
    wchar_t saved[kPathUnits];
    if (JoinPath(saved, kPathUnits, paths.InstallDir, L"" KVN_NAME_SAVED_FOLDER, nullptr)) DeleteFolderTree(saved);
}

}  // namespace

int RollbackInstallation(CLPSSetupState* app, IProductInstallerCallbak* callback) {
    SendReport(callback, IDS_DELETING_PROGRAM_FILES, 0);
    CLPSInstallJournal* journal = app ? &app->m_journal : nullptr;
    // An empty path would make the tree deletion start at the drive's root.
    const bool haveFolder = app && app->m_paths.InstallDir[0];
    // Without a run of this process nothing tells what was there before: only
    // the leftovers of a run go, an installation that is there stays.
    const bool removeAll = journal && journal->Ran() && !journal->HadInstallation();
    if (journal) journal->RollbackFiles();
    if (haveFolder && removeAll) DeleteFolderTree(app->m_paths.InstallDir);
    if (haveFolder && !removeAll) RemoveRunLeftovers(app->m_paths);
    // Left by a run of another process, an installation folder with nothing
    // else in it goes too.
    if (haveFolder && !journal->Ran()) RemoveDirectoryW(app->m_paths.InstallDir);
    SendReport(callback, IDS_DELETING_REGISTRY, 30);
    if (journal) journal->RestoreUninstallEntry();
    SendReport(callback, IDS_DELETING_START_MENU, 50);
    if (removeAll) RemoveStartMenuFolder();
    SendReport(callback, IDS_CLEANING_TEMPORARY_FILES, 100);
    return 0;
}
