#include "tests/win32/app/install_checks.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <set>

#include <gtest/gtest.h>

#include "app/install_sequence.h"
#include "app/product_names.h"
#include "package/string_ids.h"
#include "tests/win32/support/registry.h"

namespace {

const wchar_t* const kComponentFolders[] = {L"Help",    L"Samples", L"Images",
                                            L"include", L"lib",     L"Redistributables"};

// System-folder files of the tree that existed before this program ran stay;
// they are noted while the program starts, before any test installs.
std::set<std::wstring>& PreexistingSystemFiles() {
    static std::set<std::wstring> files = [] {
        std::set<std::wstring> found;
        wchar_t system[MAX_PATH] = {};
        GetSystemDirectoryW(system, MAX_PATH);
        for (const std::wstring& name : ListFolder(Join(PackedTree(), L"Sys32")))
            if (PathExists(Join(system, name))) found.insert(name);
        return found;
    }();
    return files;
}

[[maybe_unused]] const bool g_systemFilesNoted = (PreexistingSystemFiles(), true);

ReportList Concat(std::initializer_list<ReportList> parts) {
    ReportList all;
    for (const ReportList& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

}  // namespace

std::wstring PackedTree() {
    return Widen(KVN_APP_TEST_TREE);
}

void Select(CLPSSetupState& app, Selection selection) {
    for (int i = 0; i < app.m_products.GetCount(); ++i) {
        CLPProduct* product = app.m_products.GetAt(i);
        switch (product->id) {
            case kProductTools: product->selected = selection.tools; break;
            case kProductHelp: product->selected = selection.help; break;
            case kProductSamples: product->selected = selection.samples; break;
            case kProductRedist: product->selected = selection.redist; break;
            default: break;
        }
    }
}

ReportList MainReports() {
    return {{IDS_INSTALLING_MAIN, 0},   {IDS_INSTALLING_MAIN, 10},  {IDS_INSTALLING_MAIN, 50},
            {IDS_INSTALLING_TOOLS, 20}, {IDS_INSTALLING_TOOLS, 80}, {IDS_INSTALLING_MAIN, 100}};
}
ReportList ToolsReports() {
    return {{IDS_INSTALLING_TOOLS, 0}, {IDS_INSTALLING_TOOLS, 0}, {IDS_INSTALLING_TOOLS, 100}};
}
ReportList HelpReports() {
    return {{IDS_INSTALLING_HELP, 0}, {IDS_INSTALLING_HELP, 50}, {IDS_INSTALLING_HELP, 100}};
}
ReportList SamplesReports() {
    return {{IDS_INSTALLING_SAMPLES, 0},  {IDS_INSTALLING_SAMPLES, 20}, {IDS_INSTALLING_SAMPLES, 40},
            {IDS_INSTALLING_SAMPLES, 50}, {IDS_INSTALLING_SAMPLES, 70}, {IDS_INSTALLING_SAMPLES, 100}};
}
ReportList RedistReports() {
    return {{IDS_INSTALLING_REDIST, 0}, {IDS_INSTALLING_REDIST, 50}, {IDS_INSTALLING_REDIST, 100}};
}

ReportList StepReports(Selection s) {
    return Concat({MainReports(), s.tools ? ToolsReports() : ReportList{},
                   s.help ? HelpReports() : ReportList{}, s.samples ? SamplesReports() : ReportList{},
                   s.redist ? RedistReports() : ReportList{}});
}

ReportList CheckPipelineReports(const ReportList& all, size_t records) {
    const ReportList validation{
        {IDS_VALIDATING_PACKAGE, 0}, {IDS_VALIDATING_PACKAGE, 50}, {IDS_VALIDATING_PACKAGE, 90}};
    EXPECT_GE(all.size(), validation.size() + records);
    if (all.size() < validation.size() + records) return {};
    EXPECT_EQ(validation, ReportList(all.begin(), all.begin() + 3));
    int last = 0;
    for (size_t i = 3; i < 3 + records; ++i) {
        EXPECT_EQ(IDS_EXTRACTING_PACKAGE, all[i].first) << "report " << i;
        EXPECT_GE(all[i].second, last) << "report " << i;
        EXPECT_LE(all[i].second, 100) << "report " << i;
        last = all[i].second;
    }
    if (records) {
        EXPECT_EQ(100, last);
    }
    return ReportList(all.begin() + 3 + records, all.end());
}

void CleanMachine(const CLPSSetupState& app) {
    if (app.m_paths.InstallDir[0]) {
        const std::wstring install = app.m_paths.InstallDir;
        RemoveTree(install);
        // The extraction made the "Korvane" folder above it; it goes when empty.
        RemoveDirectoryW(install.substr(0, install.find_last_of(L'\\')).c_str());
    }
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, kUninstallKeyPath);
    RemoveTree(StartMenuProductFolder());
    RemoveDirectoryW(StartMenuVendorFolder().c_str());
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    for (const std::wstring& name : ListFolder(Join(PackedTree(), L"Sys32")))
        if (!PreexistingSystemFiles().count(name)) DeleteFileW(Join(system, name).c_str());
}

void ExpectInstalledFiles(const CLPSSetupState& app, Selection s) {
    const std::wstring tree = PackedTree();
    const std::wstring install = app.m_paths.InstallDir;
    std::vector<std::wstring> failures;

    // Main and Bin both land in the installation folder itself.
    std::set<std::wstring> expectedTop;
    for (const std::wstring& name : ListFolder(Join(tree, L"Main"))) expectedTop.insert(name);
    if (s.tools)
        for (const std::wstring& name : ListFolder(Join(tree, L"Bin"))) expectedTop.insert(name);
    if (s.help) expectedTop.insert(L"Help");
    if (s.samples) expectedTop.insert({L"Samples", L"Images", L"include", L"lib"});
    if (s.redist) expectedTop.insert(L"Redistributables");
    std::vector<std::wstring> top = ListFolder(install);
    std::vector<std::wstring> want(expectedTop.begin(), expectedTop.end());
    std::sort(want.begin(), want.end());
    EXPECT_EQ(want.size(), top.size());
    for (size_t i = 0; i < want.size() && i < top.size(); ++i) EXPECT_EQ(Narrow(want[i]), Narrow(top[i]));

    for (const wchar_t* level : {L"Main", L"Bin"}) {
        if (std::wstring(level) == L"Bin" && !s.tools) continue;
        for (const std::wstring& name : ListFolder(Join(tree, level))) {
            std::wstring from = Join(Join(tree, level), name);
            std::wstring to = Join(install, name);
            if (IsFolder(from))
                CompareTrees(from, to, failures);
            else if (ReadFileBytes(from) != ReadFileBytes(to))
                failures.push_back(L"content differs: " + to);
        }
    }
    for (const wchar_t* folder : kComponentFolders) {
        std::wstring name = folder;
        bool selected = (name == L"Help" && s.help) || (name == L"Redistributables" && s.redist) ||
                        (name != L"Help" && name != L"Redistributables" && s.samples);
        if (selected) CompareTrees(Join(tree, name), Join(install, name), failures);
    }
    for (const std::wstring& failure : failures) ADD_FAILURE() << Narrow(failure);
    EXPECT_FALSE(PathExists(app.m_paths.PackageDir)) << "the working folder is left";
}

void ExpectSystemFiles(const CLPSSetupState& app, bool present) {
    const std::wstring sys32 = Join(PackedTree(), L"Sys32");
    for (const std::wstring& name : ListFolder(sys32)) {
        if (PreexistingSystemFiles().count(name)) continue;
        std::wstring installed = Join(app.m_paths.SystemDir, name);
        EXPECT_EQ(present, PathExists(installed)) << Narrow(installed);
        if (present) {
            EXPECT_EQ(ReadFileBytes(Join(sys32, name)), ReadFileBytes(installed)) << Narrow(installed);
        }
    }
}

bool UninstallKeyExists() {
    return RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallKeyPath);
}

namespace {

struct RegText {
    bool found = false;
    DWORD type = 0, bytes = 0;
    std::wstring text;
};

RegText ReadValue(HKEY key, const wchar_t* name) {
    RegText value;
    wchar_t data[600] = {};
    DWORD bytes = sizeof(data) - sizeof(wchar_t);
    if (RegQueryValueExW(key, name, nullptr, &value.type, reinterpret_cast<BYTE*>(data), &bytes) !=
        ERROR_SUCCESS)
        return value;
    value.found = true;
    value.bytes = bytes;
    value.text = data;
    return value;
}

}  // namespace

std::wstring ReadUninstallString() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return L"";
    RegText value = ReadValue(key, L"UninstallString");
    RegCloseKey(key);
    return value.text;
}

void ExpectUninstallEntry(const CLPSSetupState& app) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKeyPath, 0, KEY_READ, &key));
    DWORD values = 0, subkeys = 0;
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr,
                     nullptr, nullptr);
    EXPECT_EQ(3u, values);
    EXPECT_EQ(0u, subkeys);

    const std::wstring uninstaller =
        L"\"" + Join(app.m_paths.InstallDir, L"" KVN_NAME_UNINSTALL_PROGRAM) + L"\"";
    struct Expected {
        const wchar_t* name;
        std::wstring text;
    };
    const Expected expected[] = {{L"ProductName", L"" KVN_NAME_PRODUCT},
                                 {L"DisplayName", L"" KVN_NAME_PRODUCT_DISPLAY},
                                 {L"UninstallString", uninstaller}};
    for (const Expected& e : expected) {
        RegText value = ReadValue(key, e.name);
        EXPECT_TRUE(value.found) << Narrow(e.name);
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), value.type) << Narrow(e.name);
        EXPECT_EQ(Narrow(e.text), Narrow(value.text)) << Narrow(e.name);
        EXPECT_TRUE(e.text == value.text) << Narrow(e.name);
        EXPECT_EQ(2 * (e.text.size() + 1), value.bytes) << Narrow(e.name);
    }
    RegCloseKey(key);
}

LinkInfo ReadLink(const std::wstring& linkFile) {
    LinkInfo info;
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return info;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        if (SUCCEEDED(file->Load(linkFile.c_str(), STGM_READ))) {
            wchar_t target[MAX_PATH] = {};
            wchar_t description[INFOTIPSIZE] = {};
            link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
            link->GetDescription(description, INFOTIPSIZE);
            info.loaded = true;
            info.target = target;
            info.description = description;
        }
        file->Release();
    }
    link->Release();
    return info;
}

void ExpectShortcuts(const CLPSSetupState& app, Selection s) {
    struct Expected {
        const wchar_t* link;
        std::wstring target;
    };
    const SetupPaths& p = app.m_paths;
    std::vector<Expected> expected{
        {L"Uninstall Barcode Reader SDK", Join(p.BinDir, L"" KVN_NAME_UNINSTALL_PROGRAM)}};
    if (s.tools) expected.push_back({L"Barcode Reader SDK Demo", Join(p.BinDir, L"" KVN_NAME_DEMO_PROGRAM)});
    if (s.help) {
        expected.push_back({L"Help", Join(p.HelpDir, L"kvnbarcode.chm")});
        expected.push_back({L"Java Help", Join(p.HelpDir, L"Java\\docs\\index.html")});
    }
    if (s.samples) expected.push_back({L"Samples", p.SamplesDir});
    if (s.redist) expected.push_back({L"Redistributables", p.RedistDir});

    const std::wstring folder = StartMenuProductFolder();
    std::vector<std::wstring> want;
    for (const Expected& e : expected) want.push_back(std::wstring(e.link) + L".lnk");
    std::sort(want.begin(), want.end());
    std::vector<std::wstring> have = ListFolder(folder);
    EXPECT_EQ(want.size(), have.size());
    for (size_t i = 0; i < want.size() && i < have.size(); ++i) EXPECT_EQ(Narrow(want[i]), Narrow(have[i]));

    for (const Expected& e : expected) {
        LinkInfo info = ReadLink(Join(folder, std::wstring(e.link) + L".lnk"));
        EXPECT_TRUE(info.loaded) << Narrow(e.link);
        EXPECT_EQ(Narrow(e.target), Narrow(info.target)) << Narrow(e.link);
        EXPECT_EQ(Narrow(e.link), Narrow(info.description)) << Narrow(e.link);
    }
}
