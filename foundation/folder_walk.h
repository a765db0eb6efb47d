#pragma once
// One walk over a folder level: the entries of one folder, enumerated once
// through FindFirstFileW/FindNextFileW, and the level copy built on it, which
// the tree copy (CopyFolderTree) and the version-aware component copy share,
// each with its own rule for files. Windows only.
#include <windows.h>

#include "foundation/owned_handle.h"

class CWRunControl;

// The entries of one folder in the order the file system gives them, "."
// and ".." passed over. The enumeration opens when the object is made, so a
// caller can open it before it changes the folder's surroundings; it closes
// after the last entry, on Close, or when the object goes.
class CWFolderEntries {
public:
    // No entries when folder is null or empty, cannot be enumerated, or its
    // pattern ("folder\*.*") would not fit in a path buffer.
    explicit CWFolderEntries(const wchar_t* folder);
    CWFolderEntries(const CWFolderEntries&) = delete;
    CWFolderEntries& operator=(const CWFolderEntries&) = delete;

    // Moves to the next entry (the first, on the first call); false, with the
    // enumeration closed, when none is left.
    bool Next();
    const WIN32_FIND_DATAW& Entry() const { return m_entry; }
    bool EntryIsFolder() const { return (m_entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    void Close() { m_find.Close(); }

private:
    CWFindHandle m_find;
    WIN32_FIND_DATAW m_entry;
    bool m_first;
};

// What a rule made of one entry of a level.
enum class CWEntryOutcome {
    InPlace,  // the entry is at its destination: the level's result becomes 1
    Failed,   // it is not: the result becomes 0, the thread's last error tells why
    Kept,     // the destination is left as it is on purpose: the result stays
};

// Puts one entry of the source level (source, a file or a subfolder) at its
// destination path.
using CWEntryRule = CWEntryOutcome (*)(const wchar_t* destination, const wchar_t* source, CWRunControl* run);

struct CWLevelRules {
    CWEntryRule file;       // a file it fails counts as a failure of the run
    CWEntryRule subfolder;  // counts its own failures
};

// Copies one level of source into destination. In this order: the
// enumeration of source opens; destination is created (a folder that cannot
// be created counts as a failure unless one is there already); then each
// entry, until the run is asked to stop, goes through its rule. An entry
// whose source or destination path would not fit in a path buffer is skipped
// and counts as a failed action and a failure. The result is that of the last
// action (the creation, then each entry's outcome; a kept entry changes
// nothing): 1 or 0, and 0 without a destination, when nothing is done at all.
// Failures are traced as "Unable to create destination folder" and, when the
// result is 0, "Unable to copy folder" with the error of the action that made it 0.
int CopyFolderLevel(const wchar_t* destination, const wchar_t* source, const CWLevelRules& rules,
                    CWRunControl* run);
