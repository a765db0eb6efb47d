#pragma once
// The 19 folder paths of one setup run. Destination k (1..9) is paired with
// package folder k + 10.
#include <cwchar>
#include "foundation/path_util.h"

struct SetupPaths {
    wchar_t InstallDir[kPathUnits];
    wchar_t BinDir[kPathUnits];
    wchar_t HelpDir[kPathUnits];
    wchar_t SamplesDir[kPathUnits];
    wchar_t ImagesDir[kPathUnits];
    wchar_t IncludeDir[kPathUnits];
    wchar_t LibDir[kPathUnits];
    wchar_t RedistDir[kPathUnits];
    wchar_t SystemDir[kPathUnits];
    wchar_t PackageDir[kPathUnits];
    wchar_t PkgMainDir[kPathUnits];
    wchar_t PkgBinDir[kPathUnits];
    wchar_t PkgHelpDir[kPathUnits];
    wchar_t PkgSamplesDir[kPathUnits];
    wchar_t PkgImagesDir[kPathUnits];
    wchar_t PkgIncludeDir[kPathUnits];
    wchar_t PkgLibDir[kPathUnits];
    wchar_t PkgRedistDir[kPathUnits];
    wchar_t PkgSys32Dir[kPathUnits];
};

// Fills every path from the Program Files folder and the system folder as
// the setup computes them. A path that would not fit stays empty.
void FillSetupPaths(SetupPaths& paths, const wchar_t* programFiles, const wchar_t* systemDir);
