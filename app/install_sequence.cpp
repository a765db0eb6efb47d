// The installation proper: decode the package into the working folder, copy
// the main components and each selected component, write the uninstall entry
// and the shortcuts, then delete the working folder. A report answered with
// zero stops the run; the working folder is deleted all the same. Files that
// cannot be written or copied do not stop the run; the outcome counts them.
// Every change goes through the state's journal: a run that installed is
// made final at its end, any other keeps the journal for the rollback.
#include "app/install_sequence.h"

#include <cwchar>

#include "app/command_line.h"
#include "app/product_names.h"
#include "app/report_gate.h"
#include "app/shortcuts.h"
#include "foundation/file_tree.h"
#include "foundation/owned_handle.h"
#include "foundation/path_util.h"
#include "foundation/registry_version.h"
#include "foundation/run_control.h"
#include "package/string_ids.h"
#include "app/decode_installation_package.h"

const wchar_t kUninstallKeyPath[] = L"" KVN_NAME_UNINSTALL_KEY;

namespace {

const wchar_t kUninstallProgram[] = L"" KVN_NAME_UNINSTALL_PROGRAM;

void WriteText(const wchar_t* valueName, const wchar_t* text) {
    DWORD bytes = static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t));
    WriteRegistryValue(HKEY_LOCAL_MACHINE, kUninstallKeyPath, valueName, REG_SZ,
                       reinterpret_cast<const BYTE*>(text), bytes);
}

// The three values in their order. The uninstaller's path is quoted so that
// the folder's spaces cannot split it; a path too long for its buffer leaves
// that value out.
void WriteUninstallEntry(const SetupPaths& paths) {
    WriteText(L"ProductName", L"" KVN_NAME_PRODUCT);
    WriteText(L"DisplayName", L"" KVN_NAME_PRODUCT_DISPLAY);
    wchar_t command[kQuotedPathUnits];
    if (QuoteJoinedPath(command, kQuotedPathUnits, paths.InstallDir, kUninstallProgram))
        WriteText(L"UninstallString", command);
}

// The step of a component id; any other id runs nothing and keeps the result.
void RunProductStep(int id, CLPSSetupState* app, IProductInstallerCallbak* callback, CWRunControl* run,
                    int& result) {
    switch (id) {
        case kProductHelp: result = InstallHelp(app, callback, run); break;
        case kProductTools: result = InstallTools(app, callback, run); break;
        case kProductSamples: result = InstallSamples(app, callback, run); break;
        case kProductRedist: result = InstallRedistributables(app, callback, run); break;
        default: break;
    }
}

// The package's system files go to the system folder. Without one (Windows
// reported none, or one too long for a path buffer) each of them is a file
// that could not be copied, and counts as such, rather than a silent skip.
void CopySystemFiles(const SetupPaths& paths, CWRunControl* run) {
    if (paths.SystemDir[0]) {
        CopyComponentFolder(paths.SystemDir, paths.PkgSys32Dir, run);
        return;
    }
    wchar_t pattern[kPathUnits];
    ZeroFill(pattern, static_cast<int>(sizeof(pattern)));
    if (!paths.PkgSys32Dir[0] || !FormatEntryPath(pattern, kPathUnits, paths.PkgSys32Dir, L"*.*")) return;
    WIN32_FIND_DATAW entry;
    CWFindHandle find(FindFirstFileW(pattern, &entry));
    if (!find) return;
    do {
        if (wcscmp(entry.cFileName, L".") != 0 && wcscmp(entry.cFileName, L"..") != 0) CountFailure(run);
    } while (FindNextFileW(find.Get(), &entry));
}

}  // namespace

int InstallProducts(CLPSSetupState* app, IProductInstallerCallbak* callback, InstallOutcome* outcome,
                    CWRunControl* run) {
    if (outcome) *outcome = InstallOutcome();
    if (!app) return 0;
    const SetupPaths& paths = app->m_paths;
    // Without a working folder the package would be judged empty and the
    // components installed from nowhere: the run fails instead.
    if (!paths.PackageDir[0]) return 0;

    // Counts what the extraction and the copies of this run fail to write;
    // a caller without a run control gets one that is never asked to stop.
    CWRunControl ownRun;
    CWRunControl& thisRun = run ? *run : ownRun;
    CLPSInstallJournal& journal = app->m_journal;
    journal.Begin(paths);
    // A working folder left by a run that never ended would add its files
    // to the package's: the package is unpacked into an empty one.
    if (IsExistingFolder(paths.PackageDir)) DeleteFolderTree(paths.PackageDir);
    thisRun.SetJournal(&journal.Files());
    CLPSReportGate gate(callback);
    int result = DecodeInstallationPackage(&gate, app, &thisRun);
    int decoded = result != 0;
    if (decoded && !gate.Stopped()) {
        InstallMainComponents(app, &gate, &thisRun);
        for (int index = 0; index < app->m_products.GetCount() && !gate.Stopped(); ++index) {
            CLPProduct* product = app->m_products.GetAt(index);
            if (!product || !product->selected) continue;
            RunProductStep(product->id, app, &gate, &thisRun, result);
        }
    }
    thisRun.MarkCleaningUp();
    DeleteFolderTree(paths.PackageDir);
    // Past the last point of stopping: the commit is never cut short.
    if (decoded && !gate.Stopped() && thisRun.Failures() == 0) journal.Commit();
    thisRun.SetJournal(nullptr);

    if (outcome) {
        outcome->packageDecoded = decoded;
        outcome->stopped = gate.Stopped();
        outcome->failures = thisRun.Failures();
    }
    return result;
}

int InstallMainComponents(CLPSSetupState* app, IProductInstallerCallbak* callback, CWRunControl* run) {
    if (!app) return 0;
    const SetupPaths& paths = app->m_paths;
    if (!SendReport(callback, IDS_INSTALLING_MAIN, 0)) return 0;
    CopyComponentFolder(paths.InstallDir, paths.PkgMainDir, run);
    if (!SendReport(callback, IDS_INSTALLING_MAIN, 10)) return 0;
    app->m_journal.SaveUninstallEntry();
    WriteUninstallEntry(paths);
    if (!SendReport(callback, IDS_INSTALLING_MAIN, 50)) return 0;
    CopySystemFiles(paths, run);
    if (!SendReport(callback, IDS_INSTALLING_TOOLS, 20)) return 0;
    if (!SendReport(callback, IDS_INSTALLING_TOOLS, 80)) return 0;
    int result = CreateShortcutOfRun(paths.BinDir, kUninstallProgram, L"Uninstall Barcode Reader SDK", run);
    SendReport(callback, IDS_INSTALLING_MAIN, 100);
    return result;
}

int InstallTools(CLPSSetupState* app, IProductInstallerCallbak* callback, CWRunControl* run) {
    if (!app) return 0;
    const SetupPaths& paths = app->m_paths;
    if (!SendReport(callback, IDS_INSTALLING_TOOLS, 0)) return 0;
    CopyComponentFolder(paths.BinDir, paths.PkgBinDir, run);
    if (!SendReport(callback, IDS_INSTALLING_TOOLS, 0)) return 0;
    int result = CreateShortcutOfRun(paths.BinDir, L"" KVN_NAME_DEMO_PROGRAM, L"Barcode Reader SDK Demo", run);
    SendReport(callback, IDS_INSTALLING_TOOLS, 100);
    return result;
}

int InstallHelp(CLPSSetupState* app, IProductInstallerCallbak* callback, CWRunControl* run) {
    if (!app) return 0;
    const SetupPaths& paths = app->m_paths;
    if (!SendReport(callback, IDS_INSTALLING_HELP, 0)) return 0;
    CopyComponentFolder(paths.HelpDir, paths.PkgHelpDir, run);
    if (!SendReport(callback, IDS_INSTALLING_HELP, 50)) return 0;
    CreateShortcutOfRun(paths.HelpDir, L"kvnbarcode.chm", L"Help", run);
    int result = CreateShortcutOfRun(paths.HelpDir, L"Java\\docs\\index.html", L"Java Help", run);
    SendReport(callback, IDS_INSTALLING_HELP, 100);
    return result;
}

int InstallSamples(CLPSSetupState* app, IProductInstallerCallbak* callback, CWRunControl* run) {
    if (!app) return 0;
    const SetupPaths& paths = app->m_paths;
    if (!SendReport(callback, IDS_INSTALLING_SAMPLES, 0)) return 0;
    CopyComponentFolder(paths.SamplesDir, paths.PkgSamplesDir, run);
    if (!SendReport(callback, IDS_INSTALLING_SAMPLES, 20)) return 0;
    CopyComponentFolder(paths.ImagesDir, paths.PkgImagesDir, run);
    if (!SendReport(callback, IDS_INSTALLING_SAMPLES, 40)) return 0;
    CopyComponentFolder(paths.IncludeDir, paths.PkgIncludeDir, run);
    if (!SendReport(callback, IDS_INSTALLING_SAMPLES, 50)) return 0;
    CopyComponentFolder(paths.LibDir, paths.PkgLibDir, run);
    if (!SendReport(callback, IDS_INSTALLING_SAMPLES, 70)) return 0;
    int result = CreateShortcutOfRun(paths.SamplesDir, nullptr, L"Samples", run);
    SendReport(callback, IDS_INSTALLING_SAMPLES, 100);
    return result;
}

int InstallRedistributables(CLPSSetupState* app, IProductInstallerCallbak* callback, CWRunControl* run) {
    if (!app) return 0;
    const SetupPaths& paths = app->m_paths;
    if (!SendReport(callback, IDS_INSTALLING_REDIST, 0)) return 0;
    CopyComponentFolder(paths.RedistDir, paths.PkgRedistDir, run);
    if (!SendReport(callback, IDS_INSTALLING_REDIST, 50)) return 0;
    int result = CreateShortcutOfRun(paths.RedistDir, nullptr, L"Redistributables", run);
    SendReport(callback, IDS_INSTALLING_REDIST, 100);
    return result;
}
