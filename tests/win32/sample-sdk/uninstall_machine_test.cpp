// The shipped uninstaller on a faked installation in the real places of the
// prefix: Program Files, HKEY_LOCAL_MACHINE, the Start menu, the system folder.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <string>

#include "app/product_names.h"
#include "test_support.h"
#include "tests/win32/support/registry.h"

namespace {

constexpr const wchar_t* kUninstallKey = L"" KVN_NAME_UNINSTALL_KEY;
constexpr const wchar_t* kNeighbourKey = L"" KVN_NAME_UNINSTALL_KEYS "\\{KVN-SAMPLE-SDK-TEST-NEIGHBOUR}";
constexpr const wchar_t* kTitle = L"Korvane\u00AE Barcode Reader SDK Uninstall";

std::wstring SpecialFolder(int id) {
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, id | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

void WriteKey(const wchar_t* path, const std::wstring& uninstallString) {
    HKEY key = nullptr;
    ASSERT_EQ(
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    const std::wstring values[][2] = {{L"ProductName", L"" KVN_NAME_PRODUCT},
                                      {L"DisplayName", L"" KVN_NAME_PRODUCT_DISPLAY},
                                      {L"UninstallString", uninstallString}};
    for (const auto& v : values)
        RegSetValueExW(key, v[0].c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(v[1].c_str()),
                       static_cast<DWORD>((v[1].size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

void MakeLink(const std::wstring& link, const std::wstring& target) {
    IShellLinkW* shellLink = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                               reinterpret_cast<void**>(&shellLink)),
              S_OK);
    shellLink->SetPath(target.c_str());
    IPersistFile* file = nullptr;
    ASSERT_EQ(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)), S_OK);
    EXPECT_EQ(file->Save(link.c_str(), TRUE), S_OK);
    file->Release();
    shellLink->Release();
}

int TempCopiesLeft() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((std::wstring(temp) + L"KVNBarcodeUninstall-*.exe").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return 0;
    int count = 0;
    do ++count;
    while (FindNextFileW(find, &entry));
    FindClose(find);
    return count;
}

class FakedInstallation : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        programFiles_ = SpecialFolder(CSIDL_PROGRAM_FILES);
        programs_ = SpecialFolder(CSIDL_PROGRAMS);
        wchar_t system[MAX_PATH] = {};
        GetSystemDirectoryW(system, MAX_PATH);
        systemDll_ = std::wstring(system) + L"\\KVNBarcodeRT.dll";
        vendor_ = programFiles_ + L"\\" KVN_NAME_VENDOR_FOLDER;
        install_ = vendor_ + L"\\" KVN_NAME_PRODUCT_FOLDER;
        menuVendor_ = programs_ + L"\\" KVN_NAME_START_MENU_VENDOR_FOLDER;
        menuProduct_ = menuVendor_ + L"\\" KVN_NAME_START_MENU_PRODUCT_FOLDER;
        vendorExisted_ = PathExists(vendor_);
        menuVendorExisted_ = PathExists(menuVendor_);
        // Leftovers of an earlier run in this prefix.
        RemoveTree(install_);
        RemoveTree(menuProduct_);
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kUninstallKey);
        tempCopiesBefore_ = TempCopiesLeft();
    }

    void TearDown() override {
        RemoveTree(install_);
        RemoveTree(vendor_ + L"\\OtherProduct");
        RemoveTree(vendor_ + L"\\Elsewhere");
        RemoveTree(menuProduct_);
        DeleteFileW((menuVendor_ + L"\\Other Tool.lnk").c_str());
        if (!vendorExisted_) RemoveDirectoryW(vendor_.c_str());
        if (!menuVendorExisted_) RemoveDirectoryW(menuVendor_.c_str());
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kUninstallKey);
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kNeighbourKey);
        if (createdSystemDll_) DeleteFileW(systemDll_.c_str());
        CoUninitialize();
    }

    // What the setup leaves: Main and Bin in the installation folder, the
    // components' folders, the entry, the shortcuts, the runtime in the system
    // folder; beside it the things of other products that must stay.
    void Install(const std::wstring& folder, bool withNeighbours) {
        ASSERT_TRUE(MakeFolders(folder + L"\\Help\\Java\\docs"));
        ASSERT_TRUE(MakeFolders(folder + L"\\Samples\\C"));
        ASSERT_TRUE(MakeFolders(folder + L"\\Images\\empty"));
        ASSERT_TRUE(MakeFolders(folder + L"\\" KVN_NAME_WORKING_FOLDER "\\Main"));
        for (const wchar_t* file :
             {L"Main\\" KVN_NAME_UNINSTALL_PROGRAM, L"Main\\ReadMe.txt", L"Main\\License.txt",
              L"Bin\\" KVN_NAME_DEMO_PROGRAM, L"Help\\kvnbarcode.chm", L"Help\\Java\\docs\\index.html",
              L"Samples\\C\\read_barcode.c"}) {
            std::wstring relative = file;
            if (relative.rfind(L"Main\\", 0) == 0 || relative.rfind(L"Bin\\", 0) == 0)
                relative = relative.substr(relative.find(L'\\') + 1);
            ASSERT_TRUE(CopyFileW(Stage(file).c_str(), (folder + L"\\" + relative).c_str(), FALSE)) << file;
        }
        SetFileAttributesW((folder + L"\\License.txt").c_str(), FILE_ATTRIBUTE_READONLY);
        WriteFileBytes(folder + L"\\" KVN_NAME_WORKING_FOLDER "\\Main\\left-over.txt", "cut off");
        WriteKey(kUninstallKey, folder + L"\\" KVN_NAME_UNINSTALL_PROGRAM);
        ASSERT_TRUE(MakeFolders(menuProduct_));
        MakeLink(menuProduct_ + L"\\Uninstall Barcode Reader SDK.lnk",
                 folder + L"\\" KVN_NAME_UNINSTALL_PROGRAM);
        MakeLink(menuProduct_ + L"\\Barcode Reader SDK Demo.lnk", folder + L"\\" KVN_NAME_DEMO_PROGRAM);
        MakeLink(menuProduct_ + L"\\Samples.lnk", folder + L"\\Samples");
        if (!PathExists(systemDll_)) {
            ASSERT_TRUE(CopyFileW(Stage(L"Sys32\\KVNBarcodeRT.dll").c_str(), systemDll_.c_str(), TRUE));
            createdSystemDll_ = true;
        }
        if (withNeighbours) {
            ASSERT_TRUE(MakeFolders(vendor_ + L"\\OtherProduct"));
            WriteFileBytes(vendor_ + L"\\OtherProduct\\keep.txt", "another product");
            MakeLink(menuVendor_ + L"\\Other Tool.lnk", vendor_ + L"\\OtherProduct\\keep.txt");
            WriteKey(kNeighbourKey, L"C:\\elsewhere\\uninstall.exe");
        }
    }

    void ExpectRemoved() {
        EXPECT_FALSE(PathExists(install_));
        EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
        EXPECT_FALSE(PathExists(menuProduct_));
        EXPECT_TRUE(PathExists(systemDll_)) << "the shared runtime must stay";
        EXPECT_EQ(TempCopiesLeft(), tempCopiesBefore_) << "the temp-folder copy is gone";
    }

    void ExpectUntouched() {
        EXPECT_TRUE(PathExists(install_ + L"\\" KVN_NAME_UNINSTALL_PROGRAM));
        EXPECT_TRUE(PathExists(install_ + L"\\Help\\kvnbarcode.chm"));
        EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
        EXPECT_TRUE(PathExists(menuProduct_ + L"\\Barcode Reader SDK Demo.lnk"));
    }

    std::wstring Uninstaller() const { return install_ + L"\\" KVN_NAME_UNINSTALL_PROGRAM; }

    std::wstring programFiles_, programs_, systemDll_, vendor_, install_, menuVendor_, menuProduct_;
    bool vendorExisted_ = false, menuVendorExisted_ = false, createdSystemDll_ = false;
    int tempCopiesBefore_ = 0;
};

TEST_F(FakedInstallation, QuietRemovesExactlyTheInstallationItselfIncluded) {
    Install(install_, true);
    const ProcessOutcome outcome = RunInJob(L"\"" + Uninstaller() + L"\" /quiet", ProcessOptions());
    ASSERT_TRUE(outcome.started);
    EXPECT_EQ(outcome.exitCode, 0u);
    ASSERT_TRUE(outcome.allEnded);
    ExpectRemoved();
    // Other products keep their folder, entry and shortcut.
    EXPECT_TRUE(PathExists(vendor_ + L"\\OtherProduct\\keep.txt"));
    EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kNeighbourKey));
    EXPECT_TRUE(PathExists(menuVendor_ + L"\\Other Tool.lnk"));
}

TEST_F(FakedInstallation, RemovesTheVendorMenuFolderWhenNothingElseIsInIt) {
    if (PathExists(menuVendor_) && !FolderIsEmpty(menuVendor_))
        GTEST_SKIP() << "the Start menu's Korvane folder holds other entries in this prefix";
    Install(install_, false);
    // Started through its short (8.3) name it still knows its folder.
    wchar_t shortPath[MAX_PATH] = {};
    ASSERT_GT(GetShortPathNameW(Uninstaller().c_str(), shortPath, MAX_PATH), 0u);
    const ProcessOutcome outcome = RunInJob(L"\"" + std::wstring(shortPath) + L"\" /quiet", ProcessOptions());
    EXPECT_EQ(outcome.exitCode, 0u) << shortPath;
    ASSERT_TRUE(outcome.allEnded);
    ExpectRemoved();
    EXPECT_FALSE(PathExists(menuVendor_));
}

TEST_F(FakedInstallation, RefusesToRunOutsideAnSdkFolder) {
    Install(install_, false);
    const std::wstring elsewhere = vendor_ + L"\\Elsewhere";
    ASSERT_TRUE(MakeFolders(elsewhere));
    ASSERT_TRUE(
        CopyFileW(Uninstaller().c_str(), (elsewhere + L"\\" KVN_NAME_UNINSTALL_PROGRAM).c_str(), FALSE));
    WriteFileBytes(elsewhere + L"\\data.txt", "keep");
    const ProcessOutcome outcome =
        RunInJob(L"\"" + elsewhere + L"\\" KVN_NAME_UNINSTALL_PROGRAM "\" /quiet", ProcessOptions());
    EXPECT_EQ(outcome.exitCode, 2u);
    EXPECT_TRUE(outcome.allEnded);
    EXPECT_TRUE(PathExists(elsewhere + L"\\data.txt"));
    ExpectUntouched();
}

TEST_F(FakedInstallation, RefusesAForgedRelayAndAnUnknownSwitch) {
    Install(install_, false);
    // A relay start that did not come from an uninstaller: no process handle.
    const ProcessOutcome forged = RunInJob(
        L"\"" + Stage(L"Main\\" KVN_NAME_UNINSTALL_PROGRAM) + L"\" /relay 32764 \"" + install_ + L"\" /quiet",
        ProcessOptions());
    EXPECT_EQ(forged.exitCode, 2u);
    // A relay start for a folder that is no SDK folder.
    TempFolder victim(L"victim");
    WriteFileBytes(victim / L"precious.txt", "keep");
    const ProcessOutcome wrongFolder = RunInJob(L"\"" + Stage(L"Main\\" KVN_NAME_UNINSTALL_PROGRAM) +
                                                    L"\" /relay 4 \"" + victim.path() + L"\" /quiet",
                                                ProcessOptions());
    EXPECT_EQ(wrongFolder.exitCode, 2u);
    EXPECT_TRUE(PathExists(victim / L"precious.txt"));
    EXPECT_EQ(RunInJob(L"\"" + Uninstaller() + L"\" /quiet /force", ProcessOptions()).exitCode, 2u);
    ExpectUntouched();
}

TEST_F(FakedInstallation, RemovesNothingWhenItsTempCopyCannotBeMade) {
    Install(install_, false);
    ProcessOptions options;
    options.environmentOverrides = {L"TMP=C:\\kvn-no-such-folder", L"TEMP=C:\\kvn-no-such-folder"};
    const ProcessOutcome outcome = RunInJob(L"\"" + Uninstaller() + L"\" /quiet", options);
    EXPECT_EQ(outcome.exitCode, 3u);
    EXPECT_TRUE(outcome.allEnded);
    ExpectUntouched();
}

// Presses a button of a message box of another process.
void Press(HWND box, int button) {
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
}

TEST_F(FakedInstallation, AsksFirstAndNoKeepsEverything) {
    Install(install_, false);
    RunningProcess first(L"\"" + Uninstaller() + L"\"", ProcessOptions());
    HWND box = WaitForWindow(kTitle, first.id(), 30000);
    ASSERT_NE(box, nullptr);
    EXPECT_NE(StaticTexts(box).find(L"Do you want to remove"), std::wstring::npos) << StaticTexts(box);
    Press(box, IDNO);
    DWORD exitCode = 99;
    ASSERT_TRUE(first.WaitForExit(15000, &exitCode));
    EXPECT_EQ(exitCode, 1u);
    ASSERT_TRUE(first.WaitForAll(15000));
    ExpectUntouched();
}

TEST_F(FakedInstallation, AsksFirstAndYesRemovesThenTellsSo) {
    Install(install_, true);
    RunningProcess first(L"\"" + Uninstaller() + L"\"", ProcessOptions());
    HWND question = WaitForWindow(kTitle, first.id(), 30000);
    ASSERT_NE(question, nullptr);
    Press(question, IDYES);
    DWORD exitCode = 99;
    ASSERT_TRUE(first.WaitForExit(15000, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    // The copy's closing message, once everything is gone.
    HWND done = WaitForWindow(kTitle, 0, 60000);
    ASSERT_NE(done, nullptr);
    EXPECT_NE(StaticTexts(done).find(L"was removed from your computer"), std::wstring::npos)
        << StaticTexts(done);
    EXPECT_FALSE(PathExists(install_));
    Press(done, IDOK);
    ASSERT_TRUE(first.WaitForAll(30000));
    ExpectRemoved();
    EXPECT_TRUE(PathExists(vendor_ + L"\\OtherProduct\\keep.txt"));
}

}  // namespace
