#include "tests/win32/faults/faults_support.h"

#include <algorithm>
#include <cwctype>
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

FileHolder::FileHolder(const std::wstring& path, bool renameShared) {
    static LONG serial = 0;
    const std::wstring eventName =
        L"kvn_faults_holder_" + std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(++serial);
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, eventName.c_str());
    if (!ready) return;
    std::wstring command =
        L"\"" + Join(ProgramFolder(), L"faults_file_holder.exe") + L"\" \"" + path + L"\" " + eventName +
                          (renameShared ? L" rename" : L"");
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

namespace {

const wchar_t kSessionManager[] = L"System\\CurrentControlSet\\Control\\Session Manager";
const wchar_t kPendingRenames[] = L"PendingFileRenameOperations";

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(towlower(c));
    return text;
}

std::wstring Hex(const std::string& bytes) {
    static const wchar_t digits[] = L"0123456789abcdef";
    std::wstring text;
    for (unsigned char c : bytes) {
        text += digits[c >> 4];
        text += digits[c & 15];
    }
    return text;
}

void AddTree(const std::wstring& label, const std::wstring& folder, MachineState& state) {
    for (const std::wstring& name : ListFolder(folder)) {
        const std::wstring path = Join(folder, name), shown = label + L"\\" + name;
        const DWORD attributes = GetFileAttributesW(path.c_str());
        state.push_back(shown + L" attributes=" + std::to_wstring(attributes) +
                        (IsFolder(path) ? L"" : L" bytes=" + Hex(ReadFileBytes(path))));
        if (IsFolder(path)) AddTree(shown, path, state);
    }
}

// The REG_MULTI_SZ value as its strings; empty when it is not there.
std::vector<std::wstring> ReadPending() {
    std::vector<std::wstring> items;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_READ, &key) != ERROR_SUCCESS) return items;
    DWORD bytes = 0;
    if (RegQueryValueExW(key, kPendingRenames, nullptr, nullptr, nullptr, &bytes) == ERROR_SUCCESS && bytes) {
        std::wstring data(bytes / sizeof(wchar_t), L'\0');
        RegQueryValueExW(key, kPendingRenames, nullptr, nullptr, reinterpret_cast<BYTE*>(&data[0]), &bytes);
        data.resize(bytes / sizeof(wchar_t));
        // Each string ends with a zero; a deletion's target is an empty one,
        // and the list ends with one zero more, which makes the count odd.
        for (size_t at = 0, end; at < data.size() && (end = data.find(L'\0', at)) != std::wstring::npos;
             at = end + 1)
            items.push_back(data.substr(at, end - at));
        if (items.size() % 2) items.pop_back();
    }
    RegCloseKey(key);
    return items;
}

}  // namespace

MachineState ReadMachineState(const CLPSSetupState& app) {
    MachineState state;
    AddTree(L"install", app.m_paths.InstallDir, state);
    AddTree(L"menu", StartMenuProductFolder(), state);
    for (const std::wstring& name : ListFolder(Join(PackedTree(), L"Sys32"))) {
        const std::wstring path = Join(app.m_paths.SystemDir, name);
        if (PathExists(path))
            state.push_back(L"system\\" + name + L" attributes=" +
                            std::to_wstring(GetFileAttributesW(path.c_str())) + L" bytes=" +
                            Hex(ReadFileBytes(path)));
    }
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKeyPath, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        for (DWORD index = 0;; ++index) {
            wchar_t name[256];
            BYTE data[2048];
            DWORD nameUnits = 256, type = 0, bytes = sizeof data;
            if (RegEnumValueW(key, index, name, &nameUnits, nullptr, &type, data, &bytes) != ERROR_SUCCESS) break;
            state.push_back(L"entry " + std::wstring(name) + L" type=" + std::to_wstring(type) + L" " +
                            Hex(std::string(reinterpret_cast<char*>(data), bytes)));
        }
        RegCloseKey(key);
    }
    std::sort(state.begin(), state.end());
    return state;
}

std::vector<std::wstring> StateDifferences(const MachineState& before, const MachineState& after) {
    std::vector<std::wstring> differences;
    std::set_symmetric_difference(before.begin(), before.end(), after.begin(), after.end(),
                                  std::back_inserter(differences));
    return differences;
}

size_t PendingRestartOperations(const std::wstring& folder) {
    const std::wstring below = Lower(folder);
    size_t count = 0;
    const std::vector<std::wstring> items = ReadPending();
    for (size_t i = 0; i < items.size(); i += 2)
        if (Lower(items[i]).find(below) != std::wstring::npos) ++count;
    return count;
}

void DropPendingRestartOperations(const std::wstring& folder) {
    const std::wstring below = Lower(folder);
    const std::vector<std::wstring> items = ReadPending();
    std::wstring kept;
    for (size_t i = 0; i + 1 < items.size(); i += 2) {
        if (Lower(items[i]).find(below) != std::wstring::npos) continue;
        kept += items[i] + L'\0' + items[i + 1] + L'\0';
    }
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    if (kept.empty()) {
        RegDeleteValueW(key, kPendingRenames);
    } else {
        kept += L'\0';
        RegSetValueExW(key, kPendingRenames, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(kept.data()),
                       static_cast<DWORD>(kept.size() * sizeof(wchar_t)));
    }
    RegCloseKey(key);
}

bool RestartWindows() {
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    std::wstring command = L"\"" + Join(system, L"wineboot.exe") + L"\" -r";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    const bool ended = WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0;
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return ended;
}
