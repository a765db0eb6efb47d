// Version-aware copy of one package folder level into its destination.
#include <windows.h>

#include <cstdint>

#include "app/install_sequence.h"
#include "foundation/file_tree.h"
#include "foundation/folder_walk.h"
#include "foundation/registry_version.h"

namespace {

// The package copy replaces the installed file unless both carry a version
// and the installed one is newer. Versions compare as the unsigned numbers
// they are, so a major part of 32768 or more ranks above 1.0.
bool PackageFileWins(const wchar_t* installed, const wchar_t* package) {
    uint64_t installedVersion = GetFileVersion(installed);
    uint64_t packageVersion = GetFileVersion(package);
    return packageVersion == 0 || installedVersion == 0 || packageVersion >= installedVersion;
}

// A file at the top of the level: a newer installed file is kept, and that
// is no failure.
CWEntryOutcome CopyVersionedFile(const wchar_t* destination, const wchar_t* source, CWRunControl* run) {
    if (!PackageFileWins(destination, source)) return CWEntryOutcome::Kept;
    return PlaceFile(destination, source, run) ? CWEntryOutcome::InPlace : CWEntryOutcome::Failed;
}

// Below the top level every file is replaced, whatever its version; the tree
// copy counts its own failures.
CWEntryOutcome CopySubtree(const wchar_t* destination, const wchar_t* source, CWRunControl* run) {
    return CopyFolderTree(destination, source, run) ? CWEntryOutcome::InPlace : CWEntryOutcome::Failed;
}

// The closing line names the thread's last error when the level ends, as it
// always has for the component copy.
const CWLevelRules kComponentRules = {CopyVersionedFile, CopySubtree};

}  // namespace

int CopyComponentFolder(const wchar_t* destination, const wchar_t* source, CWRunControl* run) {
    // An empty folder would turn the entry paths into paths of the drive's root.
    if (!destination || !source || !destination[0] || !source[0]) return 0;
    return CopyFolderLevel(destination, source, kComponentRules, run);
}
