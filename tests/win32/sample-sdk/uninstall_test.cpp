// The uninstaller's parts that work on plain data or inside a test folder:
// where it agrees to run, its command line, and the removal itself with
// targets in the temp folder and under HKEY_CURRENT_USER.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>

#include "app/product_names.h"
#include "sample-sdk/uninstall/arguments.h"
#include "sample-sdk/uninstall/install_folder.h"
#include "sample-sdk/uninstall/removal.h"
#include "sample-sdk/uninstall/tree_removal.h"
#include "test_support.h"

namespace {

TEST(InstallFolder, AcceptsOnlyKorvaneKVNBarcodeSDK) {
    for (const wchar_t* good :
         {L"C:\\Program Files\\Korvane\\KVNBarcodeSDK", L"c:\\program files\\korvane\\kvnbarcodesdk",
          L"C:\\Korvane\\KVNBarcodeSDK", L"D:\\Apps\\KORVANE\\KVNBARCODESDK",
          L"\\\\server\\share\\Korvane\\KVNBarcodeSDK"})
        EXPECT_TRUE(IsSdkInstallFolder(good)) << good;
    for (const wchar_t* bad : {L"",
                               L"KVNBarcodeSDK",
                               L"Korvane\\KVNBarcodeSDK",
                               L"C:\\KVNBarcodeSDK",
                               L"C:\\",
                               L"C:\\Program Files\\Other\\KVNBarcodeSDK",
                               L"C:\\Program Files\\Korvane\\KVNBarcodeSDK\\",
                               L"C:\\Program Files\\Korvane\\KVNBarcodeSDK\\..",
                               L"C:\\Program Files\\Korvane\\KVNBarcodeSDK\\.",
                               L"C:\\Windows\\..\\Korvane\\KVNBarcodeSDK",
                               L"C:/Program Files/Korvane/KVNBarcodeSDK",
                               L"C:\\Program Files\\Korvane\\\\KVNBarcodeSDK",
                               L"C:\\Program Files\\Korvane\\KVNBarcodeSDK2",
                               L"C:\\Program Files\\MyKorvane\\KVNBarcodeSDK",
                               L"C:Korvane\\KVNBarcodeSDK",
                               L"\\Korvane\\KVNBarcodeSDK",
                               L"\\\\?\\C:\\Korvane\\KVNBarcodeSDK",
                               L"\\\\server\\Korvane\\KVNBarcodeSDK",
                               L"C:\\Program Files\\Korvane\\KVNBarcodeSDK\\Help",
                               L"C:\\Program Files\\Korvane"})
        EXPECT_FALSE(IsSdkInstallFolder(bad)) << bad;
    EXPECT_FALSE(IsSdkInstallFolder(nullptr));
    // A path buffer holds 259 characters and the terminating zero.
    const std::wstring longest = L"C:\\" + std::wstring(234, L'd') + L"\\Korvane\\KVNBarcodeSDK";
    ASSERT_EQ(longest.size(), 259u);
    EXPECT_TRUE(IsSdkInstallFolder(longest.c_str()));
    EXPECT_FALSE(IsSdkInstallFolder((L"C:\\d" + longest.substr(2)).c_str()));
}

TEST(InstallFolder, ParentFolderOfAPath) {
    wchar_t folder[MAX_PATH];
    ASSERT_TRUE(ParentFolder(L"C:\\a\\b\\c.exe", folder, MAX_PATH));
    EXPECT_STREQ(folder, L"C:\\a\\b");
    ASSERT_TRUE(ParentFolder(L"C:\\c.exe", folder, MAX_PATH));
    EXPECT_STREQ(folder, L"C:\\");
    EXPECT_FALSE(ParentFolder(L"c.exe", folder, MAX_PATH));
    EXPECT_STREQ(folder, L"");
    EXPECT_FALSE(ParentFolder(L"C:\\a\\b\\c.exe", folder, 6));  // "C:\a\b" needs 7
    EXPECT_TRUE(ParentFolder(L"C:\\a\\b\\c.exe", folder, 7));
}

bool Parse(std::initializer_list<const wchar_t*> arguments, UninstallArguments* out) {
    std::vector<const wchar_t*> argv = {L"" KVN_NAME_UNINSTALL_PROGRAM};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return ParseUninstallArguments(static_cast<int>(argv.size()), argv.data(), out);
}

TEST(Arguments, QuietAndRelaySwitches) {
    UninstallArguments a;
    ASSERT_TRUE(Parse({}, &a));
    EXPECT_FALSE(a.quiet);
    EXPECT_FALSE(a.relay);
    for (const wchar_t* quiet : {L"/quiet", L"/QUIET", L"-Quiet"}) {
        ASSERT_TRUE(Parse({quiet}, &a)) << quiet;
        EXPECT_TRUE(a.quiet);
    }
    ASSERT_TRUE(Parse({L"/relay", L"4294967295", L"C:\\" KVN_NAME_INSTALL_SUBFOLDER, L"/quiet"}, &a));
    EXPECT_TRUE(a.relay);
    EXPECT_TRUE(a.quiet);
    EXPECT_EQ(a.firstProcess, 4294967295ul);
    EXPECT_STREQ(a.installFolder, L"C:\\" KVN_NAME_INSTALL_SUBFOLDER);

    EXPECT_FALSE(Parse({L"/quiet", L"/quiet"}, &a));
    EXPECT_FALSE(Parse({L"/silent"}, &a));
    EXPECT_FALSE(Parse({L"quiet"}, &a));
    EXPECT_FALSE(Parse({L"/relay"}, &a));
    EXPECT_FALSE(Parse({L"/relay", L"12"}, &a));
    EXPECT_FALSE(Parse({L"/relay", L"0", L"C:\\x"}, &a));
    EXPECT_FALSE(Parse({L"/relay", L"4294967296", L"C:\\x"}, &a));
    EXPECT_FALSE(Parse({L"/relay", L"12a", L"C:\\x"}, &a));
    EXPECT_FALSE(Parse({L"/relay", L"-1", L"C:\\x"}, &a));
    EXPECT_FALSE(Parse({L"/relay", L"12", L""}, &a));
    EXPECT_FALSE(Parse({L"/relay", L"12", L"C:\\x", L"/relay", L"13", L"C:\\y"}, &a));
    const std::wstring tooLong(MAX_PATH, L'x');
    EXPECT_FALSE(Parse({L"/relay", L"12", tooLong.c_str()}, &a));
}

TEST(Arguments, RelayCommandLineSurvivesTheSystemsSplitting) {
    const wchar_t* program = L"C:\\users\\J\u00FCrgen Smith\\Temp\\KVNBarcodeUninstall-0000002A-00.exe";
    const wchar_t* folder = L"C:\\Program Files\\" KVN_NAME_INSTALL_SUBFOLDER;
    wchar_t line[3 * MAX_PATH];
    for (bool quiet : {false, true}) {
        ASSERT_TRUE(BuildRelayCommandLine(program, 1234, folder, quiet, line, 3 * MAX_PATH));
        int argc = 0;
        LPWSTR* argv = CommandLineToArgvW(line, &argc);
        ASSERT_NE(argv, nullptr);
        EXPECT_STREQ(argv[0], program);
        UninstallArguments a;
        EXPECT_TRUE(ParseUninstallArguments(argc, argv, &a)) << line;
        LocalFree(argv);
        EXPECT_TRUE(a.relay);
        EXPECT_EQ(a.quiet, quiet);
        EXPECT_EQ(a.firstProcess, 1234ul);
        EXPECT_STREQ(a.installFolder, folder);
    }
    // A trailing "\" would escape the closing quote; quotes cannot be quoted.
    EXPECT_FALSE(BuildRelayCommandLine(program, 1, L"C:\\" KVN_NAME_INSTALL_SUBFOLDER "\\", false, line,
                                       3 * MAX_PATH));
    EXPECT_FALSE(BuildRelayCommandLine(L"C:\\a\"b.exe", 1, folder, false, line, 3 * MAX_PATH));
    EXPECT_FALSE(BuildRelayCommandLine(program, 0, folder, false, line, 3 * MAX_PATH));
    EXPECT_FALSE(BuildRelayCommandLine(program, 1, folder, true, line, 40));
    EXPECT_STREQ(line, L"");
}

class TreeRemoval : public ::testing::Test {
protected:
    void Put(const std::wstring& relative, DWORD attributes = 0) {
        const std::wstring path = root_ / relative;
        MakeFolders(path.substr(0, path.find_last_of(L'\\')));
        ASSERT_TRUE(WriteFileBytes(path, "content"));
        if (attributes) SetFileAttributesW(path.c_str(), attributes);
    }
    TempFolder root_{L"tree"};
};

TEST_F(TreeRemoval, RemovesNestedReadOnlyAndHiddenEntries) {
    const std::wstring target = root_ / L"" KVN_NAME_INSTALL_SUBFOLDER;
    Put(L"" KVN_NAME_INSTALL_SUBFOLDER "\\" KVN_NAME_DEMO_PROGRAM);
    Put(L"" KVN_NAME_INSTALL_SUBFOLDER "\\Help\\Java\\docs\\index.html", FILE_ATTRIBUTE_READONLY);
    Put(L"" KVN_NAME_INSTALL_SUBFOLDER "\\Samples\\hidden.txt",
        FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    MakeFolders(target + L"\\Images\\empty");
    SetFileAttributesW((target + L"\\Images").c_str(), FILE_ATTRIBUTE_READONLY);
    Put(L"" KVN_NAME_VENDOR_FOLDER "\\sibling.txt");
    RemovalReport report;
    EXPECT_TRUE(RemoveFolderTree(target.c_str(), &report));
    EXPECT_EQ(report.failures, 0);
    EXPECT_FALSE(PathExists(target));
    EXPECT_TRUE(PathExists(root_ / L"" KVN_NAME_VENDOR_FOLDER "\\sibling.txt"));
    // Gone already: nothing to do, no failure.
    EXPECT_TRUE(RemoveFolderTree(target.c_str(), &report));
    EXPECT_EQ(report.failures, 0);
}

TEST_F(TreeRemoval, KeepsAndNamesWhatIsInUseButRemovesTheRest) {
    Put(L"sdk\\busy.dll");
    Put(L"sdk\\free.txt");
    Put(L"sdk\\sub\\free.txt");
    HANDLE busy = CreateFileW((root_ / L"sdk\\busy.dll").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(busy, INVALID_HANDLE_VALUE);
    RemovalReport report;
    EXPECT_FALSE(RemoveFolderTree((root_ / L"sdk").c_str(), &report));
    CloseHandle(busy);
    EXPECT_EQ(report.failures, 1);
    EXPECT_EQ(_wcsicmp(report.firstFailure, (root_ / L"sdk\\busy.dll").c_str()), 0) << report.firstFailure;
    EXPECT_TRUE(PathExists(root_ / L"sdk\\busy.dll"));
    EXPECT_FALSE(PathExists(root_ / L"sdk\\free.txt"));
    EXPECT_FALSE(PathExists(root_ / L"sdk\\sub"));
}

TEST_F(TreeRemoval, RefusesAFileAndLeavesOverlongEntriesCounted) {
    Put(L"plain.txt");
    RemovalReport report;
    EXPECT_FALSE(RemoveFolderTree((root_ / L"plain.txt").c_str(), &report));
    EXPECT_TRUE(PathExists(root_ / L"plain.txt"));
    EXPECT_EQ(report.failures, 1);

    // An entry whose full path passes 259 characters (made with the \\?\ form).
    const std::wstring folder = root_ / L"deep";
    ASSERT_TRUE(MakeFolders(folder));
    const std::wstring longName = std::wstring(MAX_PATH - folder.size(), L'x');
    const std::wstring longPath = L"\\\\?\\" + folder + L"\\" + longName;
    ASSERT_TRUE(WriteFileBytes(longPath, "long"));
    Put(L"deep\\short.txt");
    RemovalReport deep;
    EXPECT_FALSE(RemoveFolderTree(folder.c_str(), &deep));
    EXPECT_EQ(deep.failures, 1);
    EXPECT_FALSE(PathExists(folder + L"\\short.txt"));
    EXPECT_TRUE(PathExists(longPath));
    DeleteFileW(longPath.c_str());
}

TEST_F(TreeRemoval, RemovesALinkButNotWhatItPointsAt) {
    Put(L"outside\\precious.txt");
    MakeFolders(root_ / L"sdk");
    if (!CreateSymbolicLinkW((root_ / L"sdk\\link").c_str(), (root_ / L"outside").c_str(),
                             SYMBOLIC_LINK_FLAG_DIRECTORY) ||
        !(GetFileAttributesW((root_ / L"sdk\\link").c_str()) & FILE_ATTRIBUTE_REPARSE_POINT))
        GTEST_SKIP() << "this system makes no directory links";
    RemovalReport report;
    EXPECT_TRUE(RemoveFolderTree((root_ / L"sdk").c_str(), &report));
    EXPECT_FALSE(PathExists(root_ / L"sdk"));
    EXPECT_TRUE(PathExists(root_ / L"outside\\precious.txt"));
}

class Removal : public ::testing::Test {
protected:
    static constexpr const wchar_t* kTestKeys = L"Software\\KorvaneSampleSdkTest";
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, kTestKeys);
        wcscpy(targets_.installFolder, (root_ / L"Program Files\\" KVN_NAME_INSTALL_SUBFOLDER).c_str());
        targets_.registryRoot = HKEY_CURRENT_USER;
        wcscpy(targets_.registryKey, (std::wstring(kTestKeys) + L"\\Uninstall\\{5E1A7C30}").c_str());
        wcscpy(targets_.programsFolder, (root_ / L"Programs").c_str());
        targets_.attempts = 2;
        targets_.pauseMilliseconds = 10;
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kTestKeys); }
    void MakeKey(const std::wstring& path) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &key, nullptr),
                  ERROR_SUCCESS);
        const wchar_t value[] = L"" KVN_NAME_PRODUCT;
        RegSetValueExW(key, L"ProductName", 0, REG_SZ, reinterpret_cast<const BYTE*>(value), sizeof value);
        RegCloseKey(key);
    }
    bool KeyExists(const std::wstring& path) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
        RegCloseKey(key);
        return true;
    }
    void Install() {
        for (const wchar_t* file :
             {L"Program Files\\" KVN_NAME_INSTALL_SUBFOLDER "\\" KVN_NAME_DEMO_PROGRAM,
              L"Program Files\\" KVN_NAME_INSTALL_SUBFOLDER "\\" KVN_NAME_WORKING_FOLDER "\\Main\\left.txt",
              L"Programs\\" KVN_NAME_START_MENU_SUBFOLDER "\\Help.lnk",
              L"Programs\\" KVN_NAME_START_MENU_SUBFOLDER "\\Samples.lnk"}) {
            const std::wstring path = root_ / file;
            MakeFolders(path.substr(0, path.find_last_of(L'\\')));
            WriteFileBytes(path, "x");
        }
        MakeKey(targets_.registryKey);
        MakeKey(std::wstring(targets_.registryKey) + L"\\Sub");
    }
    TempFolder root_{L"removal"};
    RemovalTargets targets_;
};

TEST_F(Removal, RemovesFolderEntryAndMenuButKeepsNeighbours) {
    Install();
    MakeKey(std::wstring(kTestKeys) + L"\\Uninstall\\{Other}");
    WriteFileBytes(root_ / L"Programs\\" KVN_NAME_START_MENU_VENDOR_FOLDER "\\Other Tool.lnk", "x");
    WriteFileBytes(root_ / L"Program Files\\" KVN_NAME_VENDOR_FOLDER "\\other.txt", "x");
    RemovalReport report;
    EXPECT_TRUE(RemoveInstallation(targets_, &report));
    EXPECT_EQ(report.failures, 0);
    EXPECT_FALSE(PathExists(targets_.installFolder));
    EXPECT_FALSE(KeyExists(targets_.registryKey));
    EXPECT_FALSE(PathExists(root_ / L"Programs\\" KVN_NAME_START_MENU_SUBFOLDER));
    EXPECT_TRUE(PathExists(root_ / L"Programs\\" KVN_NAME_START_MENU_VENDOR_FOLDER "\\Other Tool.lnk"));
    EXPECT_TRUE(PathExists(root_ / L"Program Files\\" KVN_NAME_VENDOR_FOLDER "\\other.txt"));
    EXPECT_TRUE(KeyExists(std::wstring(kTestKeys) + L"\\Uninstall\\{Other}"));
}

TEST_F(Removal, RemovesTheEmptyVendorMenuFolderAndIsHarmlessTwice) {
    Install();
    RemovalReport report;
    EXPECT_TRUE(RemoveInstallation(targets_, &report));
    EXPECT_FALSE(PathExists(root_ / L"Programs\\" KVN_NAME_START_MENU_VENDOR_FOLDER));
    EXPECT_TRUE(PathExists(root_ / L"Programs"));
    EXPECT_TRUE(RemoveInstallation(targets_, &report));
    EXPECT_EQ(report.failures, 0);
}

TEST_F(Removal, GoesOnAfterAFileInUseAndReportsIt) {
    Install();
    const std::wstring busyPath = std::wstring(targets_.installFolder) + L"\\" KVN_NAME_DEMO_PROGRAM;
    HANDLE busy =
        CreateFileW(busyPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(busy, INVALID_HANDLE_VALUE);
    RemovalReport report;
    EXPECT_FALSE(RemoveInstallation(targets_, &report));
    CloseHandle(busy);
    EXPECT_EQ(report.failures, 1);
    EXPECT_EQ(_wcsicmp(report.firstFailure, busyPath.c_str()), 0) << report.firstFailure;
    EXPECT_FALSE(PathExists(std::wstring(targets_.installFolder) + L"\\" KVN_NAME_WORKING_FOLDER));
    // The other steps ran all the same.
    EXPECT_FALSE(KeyExists(targets_.registryKey));
    EXPECT_FALSE(PathExists(root_ / L"Programs\\" KVN_NAME_START_MENU_VENDOR_FOLDER));
}

TEST_F(Removal, DefaultTargetsNameTheRealPlaces) {
    RemovalTargets targets;
    ASSERT_TRUE(DefaultRemovalTargets(L"C:\\Program Files\\" KVN_NAME_INSTALL_SUBFOLDER, &targets));
    EXPECT_STREQ(targets.installFolder, L"C:\\Program Files\\" KVN_NAME_INSTALL_SUBFOLDER);
    EXPECT_EQ(targets.registryRoot, HKEY_LOCAL_MACHINE);
    EXPECT_STREQ(targets.registryKey, L"" KVN_NAME_UNINSTALL_KEY);
    wchar_t programs[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, programs);
    EXPECT_STREQ(targets.programsFolder, programs);
    EXPECT_FALSE(DefaultRemovalTargets(std::wstring(MAX_PATH, L'x').c_str(), &targets));
    EXPECT_FALSE(DefaultRemovalTargets(L"", &targets));
}

}  // namespace
