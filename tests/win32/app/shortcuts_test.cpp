// Start-menu shortcuts written through the shell-link object.
#include <windows.h>
#include <shlobj.h>

#include <string>

#include <gtest/gtest.h>

#include "app/shortcuts.h"
#include "tests/win32/app/install_checks.h"

namespace {

class Shortcut : public ::testing::Test {
protected:
    void SetUp() override {
        target = MakeTempFolder(L"links");
        ASSERT_TRUE(WriteFileBytes(Join(target, L"tool.exe"), "tool"));
        RemoveTree(StartMenuProductFolder());
    }
    void TearDown() override {
        RemoveTree(StartMenuProductFolder());
        RemoveDirectoryW(StartMenuVendorFolder().c_str());
        RemoveTree(target);
    }
    std::wstring Link(const wchar_t* name) {
        return Join(StartMenuProductFolder(), std::wstring(name) + L".lnk");
    }
    std::wstring target;
};

TEST_F(Shortcut, PointsAtTheFileOrAtTheFolderItself) {
    EXPECT_EQ(1, CreateShortcut(target.c_str(), L"tool.exe", L"Tool Link"));
    EXPECT_EQ(1, CreateShortcut(target.c_str(), nullptr, L"Folder Link"));
    EXPECT_EQ(1, CreateShortcut(target.c_str(), L"", L"Empty Name Link"));
    LinkInfo tool = ReadLink(Link(L"Tool Link"));
    ASSERT_TRUE(tool.loaded);
    EXPECT_EQ(Narrow(Join(target, L"tool.exe")), Narrow(tool.target));
    EXPECT_EQ("Tool Link", Narrow(tool.description));
    LinkInfo folder = ReadLink(Link(L"Folder Link"));
    EXPECT_EQ(Narrow(target), Narrow(folder.target));
    EXPECT_EQ("Folder Link", Narrow(folder.description));
    EXPECT_EQ(Narrow(target), Narrow(ReadLink(Link(L"Empty Name Link")).target));
}

TEST_F(Shortcut, AnExistingLinkIsOverwritten) {
    ASSERT_TRUE(WriteFileBytes(Join(target, L"other.exe"), "other"));
    ASSERT_EQ(1, CreateShortcut(target.c_str(), L"tool.exe", L"Same"));
    ASSERT_EQ(1, CreateShortcut(target.c_str(), L"other.exe", L"Same"));
    EXPECT_EQ(Narrow(Join(target, L"other.exe")), Narrow(ReadLink(Link(L"Same")).target));
    EXPECT_EQ((std::vector<std::wstring>{L"Same.lnk"}), ListFolder(StartMenuProductFolder()));
}

TEST_F(Shortcut, PathsThatDoNotFitAreRefused) {
    // Target of 260 characters.
    std::wstring deep = L"C:\\" + std::wstring(250, L'x');
    EXPECT_EQ(0, CreateShortcut(deep.c_str(), L"abcdef.exe", L"Deep"));
    // A folder of 260 characters used as the target itself.
    std::wstring folder260 = L"C:\\" + std::wstring(257, L'y');
    EXPECT_EQ(0, CreateShortcut(folder260.c_str(), nullptr, L"Deep Folder"));
    // A link file that does not fit: product folder + "\" + name + ".lnk" > 259.
    std::wstring name(260 - StartMenuProductFolder().size() - 5, L'n');
    EXPECT_EQ(0, CreateShortcut(target.c_str(), L"tool.exe", name.c_str()));
    EXPECT_TRUE(ListFolder(StartMenuProductFolder()).empty());
    // One unit shorter fits.
    name.pop_back();
    EXPECT_EQ(1, CreateShortcut(target.c_str(), L"tool.exe", name.c_str()));
    EXPECT_TRUE(ReadLink(Link(name.c_str())).loaded);
}

TEST_F(Shortcut, MissingFolderOrLinkNameIsRefused) {
    EXPECT_EQ(0, CreateShortcut(L"", L"tool.exe", L"No Folder"));
    EXPECT_EQ(0, CreateShortcut(nullptr, L"tool.exe", L"No Folder"));
    EXPECT_EQ(0, CreateShortcut(target.c_str(), L"tool.exe", L""));
    EXPECT_EQ(0, CreateShortcut(target.c_str(), L"tool.exe", nullptr));
    EXPECT_TRUE(ListFolder(StartMenuProductFolder()).empty());
}

TEST_F(Shortcut, CreateLinkReportsAFailedSave) {
    const std::wstring nowhere = Join(target, L"missing\\folder\\x.lnk");
    EXPECT_TRUE(FAILED(CreateLink(Join(target, L"tool.exe").c_str(), nowhere.c_str(), L"x")));
    EXPECT_FALSE(PathExists(nowhere));
    const std::wstring here = Join(target, L"x.lnk");
    EXPECT_TRUE(SUCCEEDED(CreateLink(Join(target, L"tool.exe").c_str(), here.c_str(), L"Described")));
    EXPECT_EQ("Described", Narrow(ReadLink(here).description));
    std::wstring tooLong = Join(target, std::wstring(300, L'z'));
    EXPECT_TRUE(FAILED(CreateLink(L"C:\\a.exe", tooLong.c_str(), L"x")));
}

// Without the user's Startup folder no shortcut is made, although the links
// would go to the Programs folder.
TEST_F(Shortcut, NoStartupFolderNoShortcut) {
    wchar_t startup[MAX_PATH] = {};
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_STARTUP, nullptr, SHGFP_TYPE_CURRENT, startup)));
    const std::wstring moved = std::wstring(startup) + L".kvn-moved";
    ASSERT_TRUE(MoveFileW(startup, moved.c_str()));
    wchar_t probe[MAX_PATH] = {};
    const bool unresolved =
        FAILED(SHGetFolderPathW(nullptr, CSIDL_STARTUP, nullptr, SHGFP_TYPE_CURRENT, probe));
    const int created = CreateShortcut(target.c_str(), L"tool.exe", L"Without Startup");
    const bool linkExists = PathExists(Link(L"Without Startup"));
    MoveFileW(moved.c_str(), startup);
    ASSERT_TRUE(unresolved) << "moving the Startup folder away does not unresolve it here";
    EXPECT_EQ(0, created);
    EXPECT_FALSE(linkExists);
    EXPECT_FALSE(PathExists(StartMenuProductFolder()));
}

}  // namespace
