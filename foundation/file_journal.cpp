#include "foundation/file_journal.h"

#include <cwchar>
#include <new>

#include "foundation/file_compare.h"
#include "foundation/file_replace.h"
#include "foundation/file_tree.h"

namespace {

const DWORD kGuardingAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// A rename on the volume; another volume (a system folder elsewhere) copies.
bool MoveFileAside(const wchar_t* from, const wchar_t* to) {
    return RetryWhileHeld([&] { return MoveFileExW(from, to, MOVEFILE_COPY_ALLOWED); });
}

}  // namespace

CWFileJournal::CWFileJournal()
    : m_nextSaved(0), m_restartNeeded(false), m_leftovers(false), m_savedFolderMade(false) {
    m_savedFolder[0] = 0;
}

CWFileJournal::~CWFileJournal() = default;

bool CWFileJournal::Begin(const wchar_t* savedFolder) {
    m_changes.clear();
    m_nextSaved = 0;
    m_restartNeeded = false;
    m_leftovers = false;
    m_savedFolderMade = false;
    m_savedFolder[0] = 0;
    if (!savedFolder || !savedFolder[0] || wcsnlen(savedFolder, kPathUnits) >= size_t(kPathUnits))
        return false;
    // What stays is held still: the old copy of a DLL that a program has
    // loaded, whose deletion an earlier run left for the restart.
    if (IsExistingFolder(savedFolder)) m_leftovers = !DeleteFolderTree(savedFolder);
    wcscpy(m_savedFolder, savedFolder);
    return true;
}

bool CWFileJournal::Record(Kind kind, const wchar_t* path, const wchar_t* saved, DWORD attributes) {
    try {
        m_changes.push_back(Change{kind, attributes, path, saved ? saved : L""});
        return true;
    } catch (...) {
        return false;
    }
}

bool CWFileJournal::NextSavedPath(wchar_t* saved, const wchar_t* suffix) {
    if (!Active()) return false;
    if (!m_savedFolderMade)
        m_savedFolderMade = CreateDirectoryW(m_savedFolder, nullptr) || IsExistingFolder(m_savedFolder);
    wchar_t name[32];
    // Names that such a held leftover still takes are skipped.
    do {
        swprintf(name, 32, L"%08x%ls", m_nextSaved++, suffix);
        if (!FormatEntryPath(saved, kPathUnits, m_savedFolder, name)) return false;
    } while (m_leftovers && GetFileAttributesW(saved) != INVALID_FILE_ATTRIBUTES);
    return true;
}

bool CWFileJournal::SaveAside(const wchar_t* path, wchar_t* saved) {
    if (!NextSavedPath(saved, L"")) return false;
    if (!MoveFileAside(path, saved)) return false;
    if (Record(Kind::Replaced, path, saved)) return true;
    // Without a record the rollback could not bring it back: undone now.
    const DWORD error = GetLastError();
    MoveFileExW(saved, path, 0);
    SetLastError(error);
    return false;
}

CWPlaceOutcome CWFileJournal::PlaceFile(const wchar_t* destination, const wchar_t* source) {
    if (!destination || !source) return CWPlaceOutcome::Failed;
    const DWORD attributes = GetFileAttributesW(destination);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        if (!RetryWhileHeld([&] { return CopyFileW(source, destination, TRUE); }))
            return CWPlaceOutcome::Failed;
        if (!Record(Kind::Added, destination, nullptr)) DeleteAnyFile(destination);
        return CWPlaceOutcome::InPlace;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        SetLastError(ERROR_ACCESS_DENIED);  // a folder where the file belongs
        return CWPlaceOutcome::Failed;
    }
    // Already the package's bytes and attributes (a repair, the same
    // version again): left as it is, nothing to save, write or undo.
    if (FileEqualsCopyOf(destination, source)) return CWPlaceOutcome::InPlace;

    wchar_t saved[kPathUnits];
    if (SaveAside(destination, saved)) {
        if (RetryWhileHeld([&] { return CopyFileW(source, destination, TRUE); }))
            return CWPlaceOutcome::InPlace;
        const DWORD error = GetLastError();
        if (MoveFileExW(saved, destination, 0)) m_changes.pop_back();
        SetLastError(error);
        return CWPlaceOutcome::Failed;
    }
    const DWORD error = GetLastError();
    if (!IsHeldFileError(error)) return CWPlaceOutcome::Failed;

    // Held without delete sharing: the new file waits beside the saved
    // copies and takes the old one's place at the next restart.
    wchar_t staged[kPathUnits];
    if (!NextSavedPath(staged, L".new") || !CopyFileW(source, staged, FALSE)) {
        SetLastError(error);
        return CWPlaceOutcome::Failed;
    }
    if (!Record(Kind::Staged, destination, staged, attributes)) {
        DeleteAnyFile(staged);
        SetLastError(error);
        return CWPlaceOutcome::Failed;
    }
    m_restartNeeded = true;
    return CWPlaceOutcome::Staged;
}

bool CWFileJournal::FreeForWrite(const wchar_t* path) {
    if (!path) return false;
    if (GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) return true;
    wchar_t saved[kPathUnits];
    return SaveAside(path, saved);
}

void CWFileJournal::WriteDone(const wchar_t* path, bool written) {
    if (!path) return;
    const bool replaced =
        !m_changes.empty() && m_changes.back().kind == Kind::Replaced && m_changes.back().path == path;
    if (written) {
        if (!replaced && !Record(Kind::Added, path, nullptr)) DeleteAnyFile(path);
        return;
    }
    if (!replaced) return;
    DeleteAnyFile(path);  // whatever a failed write left
    if (MoveFileExW(m_changes.back().saved.c_str(), path, 0)) m_changes.pop_back();
}

void CWFileJournal::FolderCreated(const wchar_t* folder) {
    if (folder) Record(Kind::Folder, folder, nullptr);
}

void CWFileJournal::ScheduleAtRestart(const wchar_t* from, const wchar_t* to, DWORD flags) {
    if (MoveFileExW(from, to, MOVEFILE_DELAY_UNTIL_REBOOT | flags)) m_restartNeeded = true;
}

void CWFileJournal::RemoveSavedFolder() {
    m_savedFolderMade = false;
    if (!m_savedFolder[0] || !IsExistingFolder(m_savedFolder)) return;
    if (RemoveDirectoryW(m_savedFolder)) return;
    // Still holds what waits for the restart: it goes then, after those.
    if (!m_restartNeeded && DeleteFolderTree(m_savedFolder)) return;
    // A deleted file that its holder still has open keeps the folder until it
    // is let go: the folder goes at the restart, which nothing else needs.
    MoveFileExW(m_savedFolder, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

void CWFileJournal::Commit() {
    for (const Change& change : m_changes) {
        if (change.kind == Kind::Replaced) {
            if (!DeleteAnyFile(change.saved.c_str())) ScheduleAtRestart(change.saved.c_str(), nullptr, 0);
        } else if (change.kind == Kind::Staged) {
            // The file in place must let the replacement in at the restart.
            if (change.attributes & kGuardingAttributes)
                SetFileAttributesW(change.path.c_str(), change.attributes & ~kGuardingAttributes);
            ScheduleAtRestart(change.saved.c_str(), change.path.c_str(), MOVEFILE_REPLACE_EXISTING);
        }
    }
    RemoveSavedFolder();
    m_changes.clear();
}

void CWFileJournal::Rollback() {
    m_restartNeeded = false;  // what was staged never gets scheduled
    for (auto change = m_changes.rbegin(); change != m_changes.rend(); ++change) {
        const wchar_t* path = change->path.c_str();
        switch (change->kind) {
            case Kind::Added:
                if (!DeleteAnyFile(path)) ScheduleAtRestart(path, nullptr, 0);
                break;
            case Kind::Replaced:
                DeleteAnyFile(path);
                // A program that holds the new file by now: the old one
                // comes back at the restart, never lost.
                if (!MoveFileExW(change->saved.c_str(), path,
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED))
                    ScheduleAtRestart(change->saved.c_str(), path, MOVEFILE_REPLACE_EXISTING);
                break;
            case Kind::Staged: DeleteAnyFile(change->saved.c_str()); break;
            case Kind::Folder: RemoveDirectoryW(path); break;
        }
    }
    m_changes.clear();
    RemoveSavedFolder();
}
