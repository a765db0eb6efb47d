#include "package/extract.h"

#include <windows.h>

#include "foundation/failure_count.h"
#include "foundation/file_tree.h"
#include "foundation/path_util.h"
#include "package/package_format.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "package names are UTF-16 code units");

namespace {

// Writes one named record at its joined path. false when the record's
// contents cannot be held in memory (a fault of the run, not of the file).
// A folder that is not there afterwards, or a file that cannot be created or
// written, goes on with the next record but counts as a failure of the run.
bool WriteRecord(const PackageRecord& record, const wchar_t* path) {
    if (record.IsFolder()) {
        CreateFolderPath(path);
        if (!IsExistingFolder(path)) CountFailure();
    } else {
        CWBlock content;
        if (record.contentLength > 0 && !content.Append(record.content, record.contentLength))
            return false;
        DeleteFileW(path);
        if (WriteBlockToFile(path, content) != 0) CountFailure();
    }
    SetFileAttributesW(path, record.attributes);
    return true;
}

}  // namespace

int ExtractPackage(const CWBlock& package, CWPackageCallback* progress, const wchar_t* destination) {
    // An empty destination would put the tree under the current folder.
    if (!destination || destination[0] == 0) return -1;

    PackageRecordReader reader(package);
    while (!reader.AtEnd()) {
        CreateFolderPath(destination);

        PackageRecord record;
        const int read = reader.Next(record);
        if (read == 0) break;
        if (read < 0) return -2;
        if (!record.IsNamed()) continue;

        // Names that only differ in separators ("Help\", "a\\b") are written
        // as their plain form. Names that would leave the destination, or name
        // a device or a stream, are not written: the package is at fault, so
        // the run counts a failure. The record still counts for progress.
        NormalizePackageSeparators(record.name);
        if (!IsSafePackageName(record.name)) {
            CountFailure();
        } else {
            wchar_t name[kRecordNameUnits + 1];
            for (uint32_t i = 0; i <= kRecordNameUnits; ++i) name[i] = static_cast<wchar_t>(record.name[i]);
            wchar_t path[kPathUnits];
            ZeroFill(path, sizeof path);
            if (!JoinPath(path, kPathUnits, destination, name, nullptr)) return -2;
            if (!WriteRecord(record, path)) return -2;
        }

        if (progress && !progress->OnExtractProgress(reader.PercentDone())) break;
    }
    return 0;
}
