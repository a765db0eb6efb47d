#include "package/extract.h"

#include <windows.h>

#include "foundation/file_tree.h"
#include "foundation/path_util.h"
#include "foundation/run_control.h"
#include "package/package_format.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "package names are UTF-16 code units");

namespace {

// True when SetFileAttributesW(path, wanted) would leave an entry that has
// current as it is: the same bits, or no attribute asked for on a plain file.
bool AlreadyCarries(DWORD current, uint32_t wanted) {
    if (current == INVALID_FILE_ATTRIBUTES) return false;
    if (current == wanted) return true;
    return current == FILE_ATTRIBUTE_NORMAL && wanted == 0;
}

// A new file with the record's bytes, written straight from the package
// image. A file that is in the way (a killed run's, perhaps read-only,
// hidden or system) takes the full road: its attributes cleared, so Windows
// lets it go, it is deleted, then the file is created whatever is left. *attributes receives what the written file
// carries, INVALID_FILE_ATTRIBUTES when none was written.
int WriteRecordFile(const PackageRecord& record, const wchar_t* path, DWORD* attributes) {
    int written = WriteBytesToFile(path, record.content, record.contentLength, CREATE_NEW, attributes);
    if (written == -1) {
        SetFileAttributesW(path, FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path);
        written = WriteBytesToFile(path, record.content, record.contentLength, CREATE_ALWAYS, attributes);
    }
    return written;
}

// Writes one named record at its joined path. A folder that is not there
// afterwards, or a file that cannot be created or written, goes on with the
// next record but counts as a failure of the run; the result is then false.
// The record's attributes are applied unless the entry carries them already.
bool WriteRecord(const PackageRecord& record, const wchar_t* path, CWRunControl* run) {
    DWORD attributes = INVALID_FILE_ATTRIBUTES;
    bool written = true;
    if (record.IsFolder()) {
        CreateFolderPath(path);
        attributes = GetFileAttributesW(path);
        written = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    } else {
        written = WriteRecordFile(record, path, &attributes) == 0;
    }
    if (!written) CountFailure(run);
    if (!AlreadyCarries(attributes, record.attributes)) SetFileAttributesW(path, record.attributes);
    return written;
}

}  // namespace

int ExtractPackage(const CWBlock& package, CWPackageCallback* progress, const wchar_t* destination,
                   CWRunControl* run) {
    // An empty destination would put the tree under the current folder.
    if (!destination || destination[0] == 0) return -1;

    PackageRecordReader reader(package);
    // The destination is made before the first record and again after any
    // record that could not be written; a record written inside it shows
    // that it is there.
    bool destinationThere = false;
    while (!reader.AtEnd()) {
        if (!destinationThere) {
            CreateFolderPath(destination);
            destinationThere = true;
        }

        PackageRecord record;
        const int read = reader.Next(record);
        if (read == 0) break;
        if (read < 0) return -2;
        if (!record.IsNamed()) continue;

        // Names that only differ in separators ("Help\", "a\\b") are written
        // as their plain form. Names that would leave the destination, or name
        // a device or a stream, are not written: the package is at fault, so
        // the run counts a failure. The record still counts for progress.
        if (!PreparePackageName(record.name)) {
            CountFailure(run);
        } else {
            wchar_t name[kRecordNameUnits + 1];
            for (uint32_t i = 0; i <= kRecordNameUnits; ++i) name[i] = static_cast<wchar_t>(record.name[i]);
            wchar_t path[kPathUnits];
            ZeroFill(path, sizeof path);
            if (!JoinPath(path, kPathUnits, destination, name, nullptr)) return -2;
            destinationThere = WriteRecord(record, path, run);
        }

        if (progress && !progress->OnExtractProgress(reader.PercentDone())) break;
    }
    return 0;
}
