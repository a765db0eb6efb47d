#include "foundation/file_tree.h"

#include <cwchar>
#include <new>

#include "foundation/arrays.h"
#include "foundation/debug_trace.h"
#include "foundation/file_journal.h"
#include "foundation/file_replace.h"
#include "foundation/folder_walk.h"
#include "foundation/owned_handle.h"
#include "foundation/path_util.h"
#include "foundation/run_control.h"

namespace {

const wchar_t kDeleteFileFailed[] = L"Unable to delete file: %s, \nGetLastError() returned %d\n";
const wchar_t kDeleteFolderFailed[] = L"Unable to delete folder: %s.\n GetLastError() retruns: 0x%x\n";

bool IsFolder(DWORD attributes) {
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// A junction or directory symbolic link: removed as a link, never entered.
bool IsFolderLink(DWORD attributes) {
    return IsFolder(attributes) && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

int RemoveFolder(const wchar_t* folder) {
    if (RemoveDirectoryW(folder)) return 1;
    DebugTrace(kDeleteFolderFailed, folder, unsigned(GetLastError()));
    return 0;
}

// The rules of the tree copy: every file is replaced, every subfolder copied
// as a whole tree.
CWEntryOutcome CopyTreeFile(const wchar_t* destination, const wchar_t* source, CWRunControl* run) {
    return PlaceFile(destination, source, run) ? CWEntryOutcome::InPlace : CWEntryOutcome::Failed;
}

CWEntryOutcome CopyTreeSubfolder(const wchar_t* destination, const wchar_t* source, CWRunControl* run) {
    return CopyFolderTree(destination, source, run) ? CWEntryOutcome::InPlace : CWEntryOutcome::Failed;
}

const CWLevelRules kTreeRules = {CopyTreeFile, CopyTreeSubfolder};

}  // namespace

bool IsExistingFolder(const wchar_t* path) {
    if (!path || !*path) return false;
    const DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && IsFolder(attributes);
}

int CreateFolderPath(const wchar_t* path) {
    if (!path || !*path) return 0;
    const size_t length = wcslen(path);
    if (length >= size_t(kPathUnits)) return 0;

    // The built path never grows past the original: each separator it gets
    // stands for at least one separator of the path.
    wchar_t built[kPathUnits];
    ZeroFill(built, sizeof built);
    size_t at = 0;
    if (path[0] == L'\\') {
        built[at++] = L'\\';  // rooted path; with a second one, a network path
        if (path[1] == L'\\') built[at++] = L'\\';
    }

    int result = 0;
    bool first = true;
    size_t i = 0;
    while (i < length) {
        while (i < length && path[i] == L'\\') ++i;
        if (i >= length) break;
        if (!first) built[at++] = L'\\';
        while (i < length && path[i] != L'\\') built[at++] = path[i++];
        built[at] = L'\0';
        // Existing folders, the drive and the server and share pieces fail
        // here harmlessly; the next deeper folder is attempted all the same.
        result = CreateDirectoryW(built, nullptr) ? 1 : 0;
        first = false;
    }
    return result;
}

bool PlaceFile(const wchar_t* destination, const wchar_t* source, CWRunControl* run) {
    CWFileJournal* journal = JournalOf(run);
    if (journal && journal->Active()) return journal->PlaceFile(destination, source) != CWPlaceOutcome::Failed;
    return CopyOverFile(source, destination);
}

int CopyFolderTree(const wchar_t* destination, const wchar_t* source, CWRunControl* run) {
    return CopyFolderLevel(destination, source, kTreeRules, run);
}

namespace {

// A file that DeleteFolderTree removes once the enumeration is closed, with
// the attributes the enumeration found on it.
struct FileToDelete {
    wchar_t path[kPathUnits];
    DWORD attributes;
};

// Every attribute is cleared before a file goes (a read-only file could not
// go otherwise). A file found without the read-only bit is deleted as it is:
// once gone, its attributes are gone too. When that delete fails, the file
// gets the reset and the delete once more, so a file that stays is left
// exactly as the reset-then-delete order leaves it.
void DeleteFileOfTree(const FileToDelete& file) {
    const bool readOnly = (file.attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (!readOnly && DeleteFileW(file.path)) return;
    SetFileAttributesW(file.path, FILE_ATTRIBUTE_NORMAL);
    if (!DeleteFileW(file.path)) DebugTrace(kDeleteFileFailed, file.path, int(GetLastError()));
}

// DeleteFolderTree of a folder known to be no link: a subfolder, whose
// attributes its parent's enumeration gave.
int DeleteTreeOfFolder(const wchar_t* folder) {
    CWPtArray files;
    CWFolderEntries entries(folder);
    while (entries.Next()) {
        const WIN32_FIND_DATAW& entry = entries.Entry();
        FileToDelete* file = new (std::nothrow) FileToDelete;
        if (!file) continue;
        ZeroFill(file->path, sizeof file->path);
        file->attributes = entry.dwFileAttributes;
        // An entry whose path would not fit stays, and so does the folder.
        if (!FormatEntryPath(file->path, kPathUnits, folder, entry.cFileName)) {
            delete file;
            continue;
        }
        if (IsFolderLink(entry.dwFileAttributes)) {
            RemoveFolder(file->path);
            delete file;
        } else if (IsFolder(entry.dwFileAttributes)) {
            DeleteTreeOfFolder(file->path);
            delete file;
        } else if (!files.Add(file)) {
            delete file;
        }
    }
    entries.Close();

    while (files.GetCount() > 0) {
        FileToDelete* file = static_cast<FileToDelete*>(files.GetAt(0));
        files.RemoveAt(0);
        DeleteFileOfTree(*file);
        delete file;
    }
    return RemoveFolder(folder);
}

}  // namespace

int DeleteFolderTree(const wchar_t* folder) {
    // An empty path would name the root of the current drive.
    if (!folder || !*folder) return 0;
    const DWORD attributes = GetFileAttributesW(folder);
    if (attributes != INVALID_FILE_ATTRIBUTES && IsFolderLink(attributes)) return RemoveFolder(folder);
    return DeleteTreeOfFolder(folder);
}

int WriteBlockToFile(const wchar_t* path, const CWBlock& block) {
    return WriteBytesToFile(path, block.GetData(), block.GetLength(), CREATE_ALWAYS);
}

int WriteBytesToFile(const wchar_t* path, const void* bytes, uint32_t count, DWORD disposition,
                     DWORD* attributes) {
    if (attributes) *attributes = INVALID_FILE_ATTRIBUTES;
    if (!path) return -1;
    const CWFileHandle file(
        CreateFileW(path, GENERIC_WRITE, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return -1;
    int result = 0;
    if (count > 0) {
        DWORD written = 0;
        if (!WriteFile(file.Get(), bytes, count, &written, nullptr))
            result = int(GetLastError());
        else if (written != count)
            result = ERROR_HANDLE_DISK_FULL;  // a short write is no success
    }
    // The basic information only: the whole of GetFileInformationByHandle
    // costs Wine a lookup of the file's name.
    FILE_BASIC_INFO information;
    if (attributes &&
        GetFileInformationByHandleEx(file.Get(), FileBasicInfo, &information, sizeof information))
        *attributes = information.FileAttributes;
    return result;
}
