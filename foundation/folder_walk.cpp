#include "foundation/folder_walk.h"

#include "foundation/debug_trace.h"
#include "foundation/file_journal.h"
#include "foundation/file_tree.h"
#include "foundation/path_util.h"
#include "foundation/run_control.h"

namespace {

const wchar_t kCreateFolderFailed[] =
    L"Unable to create destination folder: %s.\n GetLastError() retruns: %d\n";
const wchar_t kCopyFolderFailed[] = L"Unable to copy folder: %s.\n GetLastError() retruns: %d\n";

bool IsDotEntry(const wchar_t* name) {
    return (name[0] == L'.' && name[1] == L'\0') || (name[0] == L'.' && name[1] == L'.' && name[2] == L'\0');
}

}  // namespace

CWFolderEntries::CWFolderEntries(const wchar_t* folder) : m_first(true) {
    ZeroFill(&m_entry, sizeof m_entry);
    if (!folder || !*folder) return;
    wchar_t pattern[kPathUnits];
    ZeroFill(pattern, sizeof pattern);
    if (FormatEntryPath(pattern, kPathUnits, folder, L"*.*")) m_find.Reset(FindFirstFileW(pattern, &m_entry));
}

bool CWFolderEntries::Next() {
    while (m_find.Valid()) {
        if (m_first) {
            m_first = false;
        } else if (!FindNextFileW(m_find.Get(), &m_entry)) {
            m_find.Close();
            return false;
        }
        if (!IsDotEntry(m_entry.cFileName)) return true;
    }
    return false;
}

int CopyFolderLevel(const wchar_t* destination, const wchar_t* source, const CWLevelRules& rules,
                    CWRunControl* run) {
    // An empty destination would turn the entry paths into paths of the drive's root.
    if (!destination || !*destination) return 0;
    // The enumeration opens before the destination exists.
    CWFolderEntries entries(source);

    int result = CreateDirectoryW(destination, nullptr) ? 1 : 0;
    DWORD failure = result ? 0 : GetLastError();
    if (result && JournalOf(run)) JournalOf(run)->FolderCreated(destination);
    if (!result) {
        DebugTrace(kCreateFolderFailed, destination, int(failure));
        // A folder already in place is what the run wants.
        if (!IsExistingFolder(destination)) CountFailure(run);
    }

    while (entries.Next()) {
        if (StopRequested(run)) break;  // the run was cancelled: no further entry is copied
        const WIN32_FIND_DATAW& entry = entries.Entry();
        wchar_t from[kPathUnits];
        wchar_t to[kPathUnits];
        ZeroFill(from, sizeof from);
        ZeroFill(to, sizeof to);
        if (!FormatEntryPath(from, kPathUnits, source, entry.cFileName) ||
            !FormatEntryPath(to, kPathUnits, destination, entry.cFileName)) {
            result = 0;
            failure = ERROR_FILENAME_EXCED_RANGE;
            CountFailure(run);
            continue;
        }
        const bool folder = entries.EntryIsFolder();
        const CWEntryOutcome outcome = (folder ? rules.subfolder : rules.file)(to, from, run);
        if (outcome == CWEntryOutcome::Kept) continue;
        result = outcome == CWEntryOutcome::InPlace ? 1 : 0;
        failure = result ? 0 : GetLastError();
        if (!result && !folder) CountFailure(run);
    }
    entries.Close();

    if (!result) {
        DebugTrace(kCopyFolderFailed, source ? source : L"", int(failure));
    }
    return result;
}
