// The folder paths of one setup run, computed from the Program Files folder
// and the system folder. A path that would not fit in its buffer stays empty,
// and so does every path derived from it.
#include "app/setup_paths.h"

#include "app/product_names.h"
#include "foundation/path_util.h"

namespace {

const wchar_t kProductSubfolder[] = L"" KVN_NAME_INSTALL_SUBFOLDER;

// Copies text into a path buffer when it fits; otherwise the buffer stays empty.
void CopyPath(wchar_t (&destination)[kPathUnits], const wchar_t* text) {
    destination[0] = 0;
    if (!text) return;
    size_t length = wcsnlen(text, kPathUnits);
    if (length >= static_cast<size_t>(kPathUnits)) return;
    wmemcpy(destination, text, length + 1);
}

// parent + "\" + name; empty when the parent is empty or the result would not fit.
void JoinChild(wchar_t (&destination)[kPathUnits], const wchar_t* parent, const wchar_t* name) {
    destination[0] = 0;
    if (!parent[0]) return;
    JoinPath(destination, kPathUnits, parent, name, nullptr);
}

void FillInstallDir(wchar_t (&installDir)[kPathUnits], const wchar_t* programFiles) {
    installDir[0] = 0;
    size_t base = programFiles ? wcsnlen(programFiles, kPathUnits) : 0;
    if (base >= static_cast<size_t>(kPathUnits)) return;
    bool separator = base > 0 && programFiles[base - 1] != L'\\';
    size_t total = base + (separator ? 1 : 0) + (sizeof(kProductSubfolder) / sizeof(wchar_t) - 1);
    if (total >= static_cast<size_t>(kPathUnits)) return;
    wchar_t* out = installDir;
    if (base) out = wmemcpy(out, programFiles, base) + base;
    if (separator) *out++ = L'\\';
    wmemcpy(out, kProductSubfolder, sizeof(kProductSubfolder) / sizeof(wchar_t));
}

}  // namespace

void FillSetupPaths(SetupPaths& paths, const wchar_t* programFiles, const wchar_t* systemDir) {
    ZeroFill(&paths, static_cast<int>(sizeof(paths)));

    FillInstallDir(paths.InstallDir, programFiles);
    CopyPath(paths.BinDir, paths.InstallDir);
    JoinChild(paths.HelpDir, paths.InstallDir, L"Help");
    JoinChild(paths.SamplesDir, paths.InstallDir, L"Samples");
    JoinChild(paths.ImagesDir, paths.InstallDir, L"Images");
    JoinChild(paths.IncludeDir, paths.InstallDir, L"include");
    JoinChild(paths.LibDir, paths.InstallDir, L"lib");
    JoinChild(paths.RedistDir, paths.InstallDir, L"Redistributables");
    CopyPath(paths.SystemDir, systemDir);

    JoinChild(paths.PackageDir, paths.InstallDir, L"" KVN_NAME_WORKING_FOLDER);
    JoinChild(paths.PkgMainDir, paths.PackageDir, L"Main");
    JoinChild(paths.PkgBinDir, paths.PackageDir, L"Bin");
    JoinChild(paths.PkgHelpDir, paths.PackageDir, L"Help");
    JoinChild(paths.PkgSamplesDir, paths.PackageDir, L"Samples");
    JoinChild(paths.PkgImagesDir, paths.PackageDir, L"Images");
    JoinChild(paths.PkgIncludeDir, paths.PackageDir, L"include");
    JoinChild(paths.PkgLibDir, paths.PackageDir, L"lib");
    JoinChild(paths.PkgRedistDir, paths.PackageDir, L"Redistributables");
    JoinChild(paths.PkgSys32Dir, paths.PackageDir, L"Sys32");
}
