// Version-aware copy of one package folder level into its destination.
#include <windows.h>

#include <cstdint>
#include <cwchar>

#include "app/install_sequence.h"
#include "foundation/failure_count.h"
#include "foundation/stop_signal.h"
#include "foundation/file_tree.h"
#include "foundation/path_util.h"
#include "foundation/registry_version.h"

namespace {

bool IsDotEntry(const wchar_t* name) { return wcscmp(name, L".") == 0 || wcscmp(name, L"..") == 0; }

// The package copy replaces the installed file unless both carry a version
// and the installed one is newer. Versions compare as the unsigned numbers
// they are, so a major part of 32768 or more ranks above 1.0.
bool PackageFileWins(const wchar_t* installed, const wchar_t* package) {
    uint64_t installedVersion = GetFileVersion(installed);
    uint64_t packageVersion = GetFileVersion(package);
    return packageVersion == 0 || installedVersion == 0 || packageVersion >= installedVersion;
}

}  // namespace

int CopyComponentFolder(const wchar_t* destination, const wchar_t* source) {
    // An empty folder would turn the entry paths into paths of the drive's root.
    if (!destination || !source || !destination[0] || !source[0]) return 0;

    // The enumeration opens before the destination exists.
    wchar_t pattern[kPathUnits];
    ZeroFill(pattern, static_cast<int>(sizeof(pattern)));
    WIN32_FIND_DATAW entry;
    ZeroFill(&entry, static_cast<int>(sizeof(entry)));
    HANDLE find = INVALID_HANDLE_VALUE;
    if (FormatEntryPath(pattern, kPathUnits, source, L"*.*")) find = FindFirstFileW(pattern, &entry);

    int result = CreateDirectoryW(destination, nullptr) ? 1 : 0;
    if (!result) {
        DebugTrace(L"Unable to create destination folder: %s.\n GetLastError() retruns: %d\n", destination,
                   static_cast<int>(GetLastError()));
        // A folder already in place is what the run wants.
        if (!IsExistingFolder(destination)) CountFailure();
    }

    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (IsDotEntry(entry.cFileName)) continue;
            if (StopRequested()) break;  // the run was cancelled: nothing more is copied
            wchar_t sourceEntry[kPathUnits];
            wchar_t destinationEntry[kPathUnits];
            ZeroFill(sourceEntry, static_cast<int>(sizeof(sourceEntry)));
            ZeroFill(destinationEntry, static_cast<int>(sizeof(destinationEntry)));
            if (!FormatEntryPath(sourceEntry, kPathUnits, source, entry.cFileName) ||
                !FormatEntryPath(destinationEntry, kPathUnits, destination, entry.cFileName)) {
                result = 0;  // too long for a path buffer: skipped, counted as a failed copy
                CountFailure();
                continue;
            }
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                // Below the top level every file is replaced, whatever its version;
                // the tree copy counts its own failures.
                result = CopyFolderTree(destinationEntry, sourceEntry);
            } else if (PackageFileWins(destinationEntry, sourceEntry)) {
                result = CopyFileW(sourceEntry, destinationEntry, FALSE) ? 1 : 0;
                if (!result) CountFailure();
            }
            // A newer installed file that is kept is no failure.
        } while (FindNextFileW(find, &entry));
        FindClose(find);
    }

    if (!result)
        DebugTrace(L"Unable to copy folder: %s.\n GetLastError() retruns: %d\n", source,
                   static_cast<int>(GetLastError()));
    return result;
}
