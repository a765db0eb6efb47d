#pragma once
// What one run changed in the file system, kept so that the run can be made
// final or undone: the files it put where none was, the files it replaced
// (each previous file moved aside by a rename on its own volume into a
// folder of saved copies, so nothing is copied and a loaded DLL can go too),
// the files it could only stage because a program holds the one in place,
// and the folders it created. Windows only.
#include <windows.h>

#include <string>
#include <vector>

#include "foundation/path_util.h"

// What PlaceFile made of one file.
enum class CWPlaceOutcome {
    InPlace,  // the new file is where it belongs
    Staged,   // a program holds the old one: the new one replaces it at the next restart
    Failed,   // neither; the thread's last error tells why
};

class CWFileJournal {
public:
    CWFileJournal();
    virtual ~CWFileJournal();
    CWFileJournal(const CWFileJournal&) = delete;
    CWFileJournal& operator=(const CWFileJournal&) = delete;

    // Starts a journal whose saved copies go to savedFolder (made when the
    // first file is saved). A folder of that name is what a run that never
    // ended (killed, a power cut) left behind, or an old copy still held
    // that waits for the restart: it is removed first, and the names of
    // what cannot be removed are not used. false, and no journal, when the
    // path does not fit.
    virtual bool Begin(const wchar_t* savedFolder);
    bool Active() const { return m_savedFolder[0] != 0; }

    // Puts a copy of source (bytes and attributes) at destination. A file
    // there that equals the copy stays untouched; another one in the way is
    // saved aside whatever its attributes; one that a program
    // holds so that it can neither be replaced nor renamed is tried again
    // for a while, then the copy is staged to replace it at the next restart.
    virtual CWPlaceOutcome PlaceFile(const wchar_t* destination, const wchar_t* source);
    // Frees path for a file that other code writes (a shortcut): a file
    // there is saved aside. false when it cannot be; then nothing changed.
    virtual bool FreeForWrite(const wchar_t* path);
    // After FreeForWrite: whether the write succeeded. A failed one gets
    // the saved file back; a new file is recorded as added.
    virtual void WriteDone(const wchar_t* path, bool written);
    virtual void FolderCreated(const wchar_t* folder);

    // Makes the run final: the saved copies go (a held one at the next
    // restart) and each staged file is scheduled to replace its file then.
    virtual void Commit();
    // Undoes the run, latest change first: added files and created folders
    // go (a folder only when empty: what others put there stays), replaced
    // files get their saved copies back, staged files go.
    virtual void Rollback();

    // True once something waits for the next restart.
    bool RestartNeeded() const { return m_restartNeeded; }
    size_t ChangeCount() const { return m_changes.size(); }

private:
    enum class Kind { Added, Replaced, Staged, Folder };
    struct Change {
        Kind kind;
        DWORD attributes;  // of the file in place before the run (staged ones)
        std::wstring path;
        std::wstring saved;  // the saved copy or the staged file
    };

    bool Record(Kind kind, const wchar_t* path, const wchar_t* saved, DWORD attributes = 0);
    bool NextSavedPath(wchar_t* saved, const wchar_t* suffix);
    bool SaveAside(const wchar_t* path, wchar_t* saved);
    void ScheduleAtRestart(const wchar_t* from, const wchar_t* to, DWORD flags);
    void RemoveSavedFolder();

    wchar_t m_savedFolder[kPathUnits];
    std::vector<Change> m_changes;
    unsigned m_nextSaved;
    bool m_restartNeeded;
    bool m_leftovers;  // the saved folder of an earlier run could not be removed
    bool m_savedFolderMade;
};
