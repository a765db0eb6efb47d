#pragma once
// What the fault tests look at after a run, read back independently of the
// setup's own code, and the helpers that inject the faults.
#include <windows.h>

#include <string>
#include <vector>

#include "app/install_sequence.h"
#include "app/setup_state.h"
#include "package/product_installer_callback.h"

// The state of a setup started anew: the machine's paths, every component.
struct NewSetup : CLPSSetupState {
    NewSetup() {
        ComputeSetupPaths();
        BuildProductList();
    }
};

// What a run or its rollback left on the machine.
struct Leftovers {
    size_t installEntries = 0;  // files and folders in the installation folder, the folder itself included
    bool packageFolder = false;
    bool uninstallKey = false;
    bool startMenuFolder = false;  // the product's folder or an empty vendor folder
    // The vendor folder above the installation folder, empty: the rollback
    // removes the installation folder only, so this one is noted, not a leftover.
    bool vendorFolder = false;
    bool Any() const { return installEntries || packageFolder || uninstallKey || startMenuFolder; }
    std::string Describe() const;
};
Leftovers FindLeftovers(const CLPSSetupState& app);

// Every difference between the packed tree (every component selected) and
// the installation: files, system-folder files, uninstall entry, shortcuts.
std::vector<std::wstring> InstallationDifferences(const CLPSSetupState& app);

// Whether the wizard's progress page would go on to the finish page.
inline bool ClaimsSuccess(const InstallOutcome& outcome) {
    return outcome.packageDecoded && outcome.failures == 0 && !outcome.stopped;
}

// Another process that holds path open without sharing (creating the file
// when it is missing) until this object is destroyed.
class FileHolder {
public:
    // renameShared: held as the loader holds a DLL (renaming allowed).
    explicit FileHolder(const std::wstring& path, bool renameShared = false);
    ~FileHolder();
    FileHolder(const FileHolder&) = delete;
    FileHolder& operator=(const FileHolder&) = delete;
    bool Holding() const { return m_holding; }

private:
    PROCESS_INFORMATION m_process{};
    bool m_holding = false;
};

// Everything of the product on the machine, for byte-for-byte comparisons
// of the state before and after a run: every entry below the installation
// folder and the product's Start-menu folder (bytes and attributes), the
// system-folder files of the tree, the uninstall entry's values.
using MachineState = std::vector<std::wstring>;  // one line per entry, sorted
MachineState ReadMachineState(const CLPSSetupState& app);
// The lines that are in one state and not in the other.
std::vector<std::wstring> StateDifferences(const MachineState& before, const MachineState& after);

// The pending renames and deletions of the next restart that name a path
// below folder (PendingFileRenameOperations), and the restart itself:
// Wine's wineboot -r carries them out, as Windows does when it starts.
size_t PendingRestartOperations(const std::wstring& folder);
bool RestartWindows();
// Drops the pending operations that name a path below folder.
void DropPendingRestartOperations(const std::wstring& folder);

// Removes what a run of the fault tree may leave, system-folder files of
// the tree included (the rollback keeps those by design).
void CleanAfterRun(const CLPSSetupState& app);
