#pragma once
// The 19 folder paths of one setup run. Destination k (1..9) is paired with
// package folder k + 10.
#include <cwchar>

struct SetupPaths {
    wchar_t InstallDir[260];
    wchar_t BinDir[260];
    wchar_t HelpDir[260];
    wchar_t SamplesDir[260];
    wchar_t ImagesDir[260];
    wchar_t IncludeDir[260];
    wchar_t LibDir[260];
    wchar_t RedistDir[260];
    wchar_t SystemDir[260];
    wchar_t PackageDir[260];
    wchar_t PkgMainDir[260];
    wchar_t PkgBinDir[260];
    wchar_t PkgHelpDir[260];
    wchar_t PkgSamplesDir[260];
    wchar_t PkgImagesDir[260];
    wchar_t PkgIncludeDir[260];
    wchar_t PkgLibDir[260];
    wchar_t PkgRedistDir[260];
    wchar_t PkgSys32Dir[260];
};

// Fills every path from the Program Files folder and the system folder as
// the setup computes them. A path that would not fit stays empty.
void FillSetupPaths(SetupPaths& paths, const wchar_t* programFiles, const wchar_t* systemDir);
