#pragma once
// Writes the records of a package image under a destination folder. Windows only.
#include "foundation/block.h"
#include "package/package_callback.h"

class CWRunControl;

// 0 end reached or stopped by the callback, -1 no destination, -2 a fault
// while a record was read or written (a field past the end, a joined path
// that does not fit in 260 units). Each record that is not written (a
// refused name, a folder or file that cannot be made) counts as a failure of
// run; without one nothing is counted.
int ExtractPackage(const CWBlock& package, CWPackageCallback* progress, const wchar_t* destination,
                   CWRunControl* run = nullptr);
