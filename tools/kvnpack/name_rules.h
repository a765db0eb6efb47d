#pragma once
// What a record name must satisfy before kvnpack writes it: the setup keeps
// and writes it whole, and Windows can hold it under the working folder.
#include <string>

// The setup's working folder at its longest usual place; every entry path
// below it (with a terminating zero) must fit in 260 units.
// "C:\Program Files (x86)\Korvane\KVNBarcodeSDK\_Package\" (app/product_names.h).
extern const char16_t kLongestPackageDir[];

// Empty when the name is acceptable, otherwise why it is refused.
std::string CheckRecordName(const std::u16string& name);

// The name with letters upper-cased as Windows compares file names
// (ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic), so two names that
// map to the same folded form would overwrite each other there.
std::u16string FoldCase(const std::u16string& name);

// Byte order of the names as the records store them (UTF-16LE): a folder's
// name sorts before every name below it.
bool RecordNameLess(const std::u16string& a, const std::u16string& b);
