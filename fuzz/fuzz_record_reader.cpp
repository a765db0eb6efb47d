// The record reader and the name check over arbitrary package images.
#include <cstring>

#include "fuzz/fuzz_input.h"
#include "package/package_format.h"

namespace {

// The same refusals, written apart from the reader's own code: a name that
// passes never leaves the folder.
bool LeavesTheFolder(const char16_t* name) {
    if (name[0] == u'\\' || name[0] == u'/') return true;
    size_t start = 0;
    for (size_t i = 0;; ++i) {
        if (name[i] == u':') return true;
        if (name[i] == 0 || name[i] == u'\\' || name[i] == u'/') {
            if (i - start == 2 && name[start] == u'.' && name[start + 1] == u'.') return true;
            if (name[i] == 0) return false;
            start = i + 1;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CWBlock package;
    FuzzFill(package, data, size);
    PackageRecordReader reader(package);
    const uint8_t* begin = package.GetData();
    const uint8_t* end = begin + package.GetLength();
    uint32_t last = reader.Position();
    PackageRecord record;
    for (;;) {
        const int result = reader.Next(record);
        FUZZ_CHECK(result == 1 || result == 0 || result == -2);
        FUZZ_CHECK(reader.Position() <= (reader.Size() > 4 ? reader.Size() : 4));
        if (result != 1) {
            if (result == 0) FUZZ_CHECK(reader.AtEnd());
            break;
        }
        FUZZ_CHECK(reader.Position() >= last + 4);
        last = reader.Position();
        const int percent = reader.PercentDone();
        FUZZ_CHECK(percent >= 0 && percent <= 100);
        FUZZ_CHECK(record.name[kRecordNameUnits] == 0);
        if (record.contentLength > 0) {
            FUZZ_CHECK(record.content >= begin && record.content + record.contentLength <= end);
            volatile uint8_t sink = record.content[record.contentLength - 1];
            (void)sink;
        }
        if (IsSafePackageName(record.name)) FUZZ_CHECK(!LeavesTheFolder(record.name));
        // What the setup writes: the name with its separators made plain.
        NormalizePackageSeparators(record.name);
        FUZZ_CHECK(record.name[kRecordNameUnits] == 0);
        if (IsSafePackageName(record.name)) FUZZ_CHECK(!LeavesTheFolder(record.name));
    }
    return 0;
}
