#pragma once
// What one installation run changed on the machine, so that a run that does
// not complete gives back the installation that was there before it: the
// file journal of the copies and shortcuts (saved copies in the installation
// folder, on the same volume, so replacing costs a rename), and the
// uninstall entry as it was. Windows only.
#include <windows.h>

#include <string>
#include <vector>

#include "app/setup_paths.h"
#include "foundation/file_journal.h"

class CLPSInstallJournal {
public:
    CLPSInstallJournal();
    virtual ~CLPSInstallJournal();  // makes a pending run final: no saved copy stays behind
    CLPSInstallJournal(const CLPSInstallJournal&) = delete;
    CLPSInstallJournal& operator=(const CLPSInstallJournal&) = delete;

    // Starts the journal of a run: notes whether an installation is there
    // (its folder or its uninstall entry) and removes the saved copies of a
    // run that never ended.
    virtual void Begin(const SetupPaths& paths);
    // A run began in this process (also once it was made final or undone).
    bool Ran() const { return m_ran; }
    // Its changes are kept, neither made final nor undone yet.
    bool Pending() const { return m_pending; }
    // An installation was there when the last run began.
    bool HadInstallation() const { return m_hadInstallation; }
    CWFileJournal& Files() { return m_files; }

    // Before the run writes the uninstall entry: its values as they are.
    virtual void SaveUninstallEntry();

    // The run is final: saved copies go, staged files are scheduled.
    virtual void Commit();
    // The files and links as they were before the run.
    virtual void RollbackFiles();
    // The uninstall entry as it was before the run: given back when the run
    // changed it, removed when there was no installation. The journal ends
    // here.
    virtual void RestoreUninstallEntry();

    bool RestartNeeded() const { return m_restartNeeded || m_files.RestartNeeded(); }

private:
    struct Value {
        std::wstring name;
        DWORD type;
        std::vector<BYTE> data;
    };

    CWFileJournal m_files;
    std::vector<Value> m_entry;
    bool m_ran;
    bool m_pending;
    bool m_hadInstallation;
    bool m_entrySaved;
    bool m_entryExisted;
    bool m_restartNeeded;  // kept from the commit of the run
};
