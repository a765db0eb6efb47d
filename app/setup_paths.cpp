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

// A folder of the run and the folder it is made in; in the order they are filled.
struct Subfolder {
    wchar_t (SetupPaths::*path)[kPathUnits];
    wchar_t (SetupPaths::*parent)[kPathUnits];
    const wchar_t* name;
};

const Subfolder kSubfolders[] = {
    {&SetupPaths::HelpDir, &SetupPaths::InstallDir, L"Help"},
    {&SetupPaths::SamplesDir, &SetupPaths::InstallDir, L"Samples"},
    {&SetupPaths::ImagesDir, &SetupPaths::InstallDir, L"Images"},
    {&SetupPaths::IncludeDir, &SetupPaths::InstallDir, L"include"},
    {&SetupPaths::LibDir, &SetupPaths::InstallDir, L"lib"},
    {&SetupPaths::RedistDir, &SetupPaths::InstallDir, L"Redistributables"},
    {&SetupPaths::PackageDir, &SetupPaths::InstallDir, L"" KVN_NAME_WORKING_FOLDER},
    {&SetupPaths::PkgMainDir, &SetupPaths::PackageDir, L"Main"},
    {&SetupPaths::PkgBinDir, &SetupPaths::PackageDir, L"Bin"},
    {&SetupPaths::PkgHelpDir, &SetupPaths::PackageDir, L"Help"},
    {&SetupPaths::PkgSamplesDir, &SetupPaths::PackageDir, L"Samples"},
    {&SetupPaths::PkgImagesDir, &SetupPaths::PackageDir, L"Images"},
    {&SetupPaths::PkgIncludeDir, &SetupPaths::PackageDir, L"include"},
    {&SetupPaths::PkgLibDir, &SetupPaths::PackageDir, L"lib"},
    {&SetupPaths::PkgRedistDir, &SetupPaths::PackageDir, L"Redistributables"},
    {&SetupPaths::PkgSys32Dir, &SetupPaths::PackageDir, L"Sys32"},
};

}  // namespace

void FillSetupPaths(SetupPaths& paths, const wchar_t* programFiles, const wchar_t* systemDir) {
    ZeroFill(&paths, static_cast<int>(sizeof(paths)));

    FillInstallDir(paths.InstallDir, programFiles);
    CopyPath(paths.BinDir, paths.InstallDir);
    CopyPath(paths.SystemDir, systemDir);
    for (const Subfolder& folder : kSubfolders)
        JoinChild(paths.*folder.path, paths.*folder.parent, folder.name);
}
