// The staged sample SDK installed for real: its demo started after the
// installation and its uninstaller run quietly.
#include <windows.h>
#include <tlhelp32.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/product_names.h"
#include "app/install_sequence.h"
#include "app/shortcuts.h"
#include "tests/win32/app/install_checks.h"

namespace {

const wchar_t kDemo[] = L"" KVN_NAME_DEMO_PROGRAM;

std::vector<DWORD> ProcessesNamed(const wchar_t* image) {
    std::vector<DWORD> found;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return found;
    PROCESSENTRY32W entry;
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
        if (lstrcmpiW(entry.szExeFile, image) == 0) found.push_back(entry.th32ProcessID);
    CloseHandle(snapshot);
    return found;
}

void TerminateAll(const wchar_t* image) {
    for (DWORD id : ProcessesNamed(image)) {
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
        if (!process) continue;
        TerminateProcess(process, 0);
        WaitForSingleObject(process, 5000);
        CloseHandle(process);
    }
}

// Waits until the demo has written its current folder; a line end is dropped.
std::string WaitForFile(const std::wstring& path, DWORD milliseconds) {
    std::string text;
    for (DWORD waited = 0; text.empty() && waited < milliseconds; waited += 100) {
        text = ReadFileBytes(path);
        if (text.empty()) Sleep(100);
    }
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

class SampleSdk : public MachineTest {
protected:
    void SetUp() override {
        MachineTest::SetUp();
        TerminateAll(kDemo);
        scratch = MakeTempFolder(L"sample");
        cwdFile = Join(scratch, L"cwd.txt");
        SetEnvironmentVariableW(L"KVN_DEMO_CWD_FILE", cwdFile.c_str());
    }
    void TearDown() override {
        TerminateAll(kDemo);
        TerminateAll(L"My.exe");
        SetEnvironmentVariableW(L"KVN_DEMO_CWD_FILE", nullptr);
        RemoveTree(scratch);
        MachineTest::TearDown();
    }
    std::wstring scratch, cwdFile;
};

TEST_F(SampleSdk, InstallsTheWholeSampleSdk) {
    RecordingCallback callback;
    EXPECT_EQ(1, InstallProducts(&app, &callback));
    EXPECT_EQ(StepReports(kAll), CheckPipelineReports(callback.reports, CountEntries(PackedTree())));
    ExpectInstalledFiles(app, kAll);
    ExpectSystemFiles(app, true);
    ExpectUninstallEntry(app);
    ExpectShortcuts(app, kAll);
}

TEST_F(SampleSdk, TheDemoStartsInTheBinFolderAndKeepsRunning) {
    Select(app, {true, false, false, false});
    ASSERT_EQ(1, InstallProducts(&app, nullptr));
    ASSERT_NE(FALSE, LaunchDemo(&app));
    EXPECT_EQ(Narrow(app.m_paths.BinDir), WaitForFile(cwdFile, 30000));
    EXPECT_EQ(1u, ProcessesNamed(kDemo).size());
}

TEST_F(SampleSdk, WithoutTheToolsNothingStarts) {
    Select(app, kNone);
    ASSERT_EQ(1, InstallProducts(&app, nullptr));
    EXPECT_EQ(FALSE, LaunchDemo(&app));
    Sleep(500);
    EXPECT_TRUE(ProcessesNamed(kDemo).empty());
    EXPECT_FALSE(PathExists(cwdFile));
    EXPECT_EQ(FALSE, LaunchDemo(nullptr));
}

TEST_F(SampleSdk, AnEmptyOrOverLongBinFolderStartsNothing) {
    app.m_paths.BinDir[0] = 0;
    EXPECT_EQ(FALSE, LaunchDemo(&app));
    std::wstring deep = L"C:\\" + std::wstring(245, L'b');
    wcscpy(app.m_paths.BinDir, deep.c_str());  // + "\KVNBarcodeDemo.exe" is over 259
    EXPECT_EQ(FALSE, LaunchDemo(&app));
    Sleep(500);
    EXPECT_TRUE(ProcessesNamed(kDemo).empty());
}

// "<folder>\My Apps\Bin\KVNBarcodeDemo.exe" unquoted would start "<folder>\My.exe".
TEST_F(SampleSdk, AFolderWithSpacesCannotRedirectTheLaunch) {
    const std::wstring bin = Join(scratch, L"My Apps\\Bin");
    ASSERT_TRUE(MakeFolders(bin));
    const std::wstring demo = Join(Join(PackedTree(), L"Bin"), kDemo);
    ASSERT_TRUE(CopyFileW(demo.c_str(), Join(bin, kDemo).c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(demo.c_str(), Join(scratch, L"My.exe").c_str(), FALSE));
    wcscpy(app.m_paths.BinDir, bin.c_str());
    ASSERT_NE(FALSE, LaunchDemo(&app));
    EXPECT_EQ(Narrow(bin), WaitForFile(cwdFile, 30000));
    EXPECT_EQ(1u, ProcessesNamed(kDemo).size());
    EXPECT_TRUE(ProcessesNamed(L"My.exe").empty());
}

// The uninstaller hands the removal to a copy of itself and exits; the
// removal is complete when that copy has ended.
TEST_F(SampleSdk, TheQuietUninstallerRemovesTheInstallation) {
    ASSERT_EQ(1, InstallProducts(&app, nullptr));
    const std::wstring command = ReadUninstallString() + L" /quiet";
    std::vector<wchar_t> line(command.begin(), command.end());
    line.push_back(0);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, scratch.c_str(),
                               &startup, &process));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process.hProcess, 60000));
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    EXPECT_EQ(0u, exitCode);

    auto removed = [&] {
        return !PathExists(app.m_paths.InstallDir) && !UninstallKeyExists() &&
               !PathExists(StartMenuVendorFolder());
    };
    for (int waited = 0; waited < 600 && !removed(); ++waited) Sleep(100);
    EXPECT_FALSE(PathExists(app.m_paths.InstallDir));
    EXPECT_FALSE(UninstallKeyExists());
    EXPECT_FALSE(PathExists(StartMenuProductFolder()));
    EXPECT_FALSE(PathExists(StartMenuVendorFolder()));
    ExpectSystemFiles(app, true);  // the shared runtime stays
}

}  // namespace
