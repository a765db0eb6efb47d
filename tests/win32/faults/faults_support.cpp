#include "tests/win32/faults/faults_support.h"

#include <set>
#include <sstream>

#include "app/product_names.h"
#include "tests/win32/app/install_checks.h"
#include "tests/win32/app/test_support.h"

std::string Leftovers::Describe() const {
    std::ostringstream text;
    text << "installation entries " << installEntries << ", working folder " << packageFolder
         << ", uninstall key " << uninstallKey << ", Start-menu folder " << startMenuFolder;
    return text.str();
}

Leftovers FindLeftovers(const CLPSSetupState& app) {
    Leftovers left;
    const std::wstring install = app.m_paths.InstallDir;
    if (PathExists(install)) left.installEntries = 1 + CountEntries(install, false);
    left.packageFolder = PathExists(app.m_paths.PackageDir);
    const std::wstring vendor = install.substr(0, install.find_last_of(L'\\'));
    left.vendorFolder = !vendor.empty() && IsFolder(vendor) && ListFolder(vendor).empty();
    left.uninstallKey = UninstallKeyExists();
    left.startMenuFolder =
        PathExists(StartMenuProductFolder()) ||
        (PathExists(StartMenuVendorFolder()) && ListFolder(StartMenuVendorFolder()).empty());
    return left;
}

std::vector<std::wstring> InstallationDifferences(const CLPSSetupState& app) {
    std::vector<std::wstring> failures;
    const std::wstring tree = PackedTree();
    const std::wstring install = app.m_paths.InstallDir;

    std::set<std::wstring> expectedTop{L"Help",    L"Samples", L"Images",
                                       L"include", L"lib",     L"Redistributables"};
    for (const wchar_t* level : {L"Main", L"Bin"}) {
        for (const std::wstring& name : ListFolder(Join(tree, level))) {
            expectedTop.insert(name);
            const std::wstring from = Join(Join(tree, level), name);
            if (IsFolder(from))
                CompareTrees(from, Join(install, name), failures);
            else
                CompareFile(from, Join(install, name), failures);
        }
    }
    const std::vector<std::wstring> top = ListFolder(install);
    if (std::set<std::wstring>(top.begin(), top.end()) != expectedTop)
        failures.push_back(L"top-level entries differ: " + install);
    for (const wchar_t* folder : {L"Help", L"Samples", L"Images", L"include", L"lib", L"Redistributables"})
        CompareTrees(Join(tree, folder), Join(install, folder), failures);
    for (const std::wstring& name : ListFolder(Join(tree, L"Sys32")))
        CompareFile(Join(Join(tree, L"Sys32"), name), Join(app.m_paths.SystemDir, name), failures);
    if (PathExists(app.m_paths.PackageDir)) failures.push_back(L"working folder left");
    if (ReadUninstallString() != L"\"" + Join(install, L"" KVN_NAME_UNINSTALL_PROGRAM) + L"\"")
        failures.push_back(L"uninstall entry missing or wrong");
    if (ListFolder(StartMenuProductFolder()).size() != 6) failures.push_back(L"not six shortcuts");
    return failures;
}

FileHolder::FileHolder(const std::wstring& path) {
    static LONG serial = 0;
    const std::wstring eventName =
        L"kvn_faults_holder_" + std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(++serial);
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, eventName.c_str());
    if (!ready) return;
    std::wstring command =
        L"\"" + Join(ProgramFolder(), L"faults_file_holder.exe") + L"\" \"" + path + L"\" " + eventName;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &m_process)) {
        HANDLE waits[] = {ready, m_process.hProcess};
        m_holding = WaitForMultipleObjects(2, waits, FALSE, 20000) == WAIT_OBJECT_0;
    }
    CloseHandle(ready);
}

FileHolder::~FileHolder() {
    if (!m_process.hProcess) return;
    TerminateProcess(m_process.hProcess, 0);
    WaitForSingleObject(m_process.hProcess, 10000);
    CloseHandle(m_process.hProcess);
    CloseHandle(m_process.hThread);
}

void CleanAfterRun(const CLPSSetupState& app) {
    CleanMachine(app);
}
