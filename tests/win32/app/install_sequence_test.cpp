// The whole installation sequence on the test tree packed into this program.
#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "app/install_sequence.h"
#include "app/product_names.h"
#include "app/setup_paths.h"
#include "package/string_ids.h"
#include "tests/win32/app/install_checks.h"

namespace {

using InstallRun = MachineTest;

size_t Records() {
    return CountEntries(PackedTree());
}

TEST_F(InstallRun, AllComponentsInstallEverything) {
    RecordingCallback callback;
    InstallOutcome outcome;
    outcome.stopped = 7;
    EXPECT_EQ(1, InstallProducts(&app, &callback, &outcome));
    EXPECT_EQ(1, outcome.packageDecoded);
    EXPECT_EQ(0, outcome.stopped);
    EXPECT_EQ(StepReports(kAll), CheckPipelineReports(callback.reports, Records()));
    ExpectInstalledFiles(app, kAll);
    ExpectSystemFiles(app, true);
    ExpectUninstallEntry(app);
    ExpectShortcuts(app, kAll);
}

TEST_F(InstallRun, NoComponentInstallsOnlyTheMainComponents) {
    Select(app, kNone);
    RecordingCallback callback;
    // The result is the pipeline's: no component step ran.
    EXPECT_EQ(1, InstallProducts(&app, &callback));
    EXPECT_EQ(MainReports(), CheckPipelineReports(callback.reports, Records()));
    ExpectInstalledFiles(app, kNone);
    ExpectSystemFiles(app, true);
    ExpectUninstallEntry(app);
    ExpectShortcuts(app, kNone);
}

struct AloneCase {
    const char* label;
    Selection selection;
};
std::ostream& operator<<(std::ostream& out, const AloneCase& c) {
    return out << c.label;
}

class InstallAlone : public MachineTest, public ::testing::WithParamInterface<AloneCase> {};

TEST_P(InstallAlone, OneComponentInstallsItselfAndTheMainComponents) {
    const Selection selection = GetParam().selection;
    Select(app, selection);
    RecordingCallback callback;
    EXPECT_EQ(1, InstallProducts(&app, &callback));
    EXPECT_EQ(StepReports(selection), CheckPipelineReports(callback.reports, Records()));
    ExpectInstalledFiles(app, selection);
    ExpectUninstallEntry(app);
    ExpectShortcuts(app, selection);
}

INSTANTIATE_TEST_SUITE_P(Components, InstallAlone,
                         ::testing::Values(AloneCase{"Tools", {true, false, false, false}},
                                           AloneCase{"Help", {false, true, false, false}},
                                           AloneCase{"Samples", {false, false, true, false}},
                                           AloneCase{"Redistributables", {false, false, false, true}}),
                         [](const ::testing::TestParamInfo<AloneCase>& info) {
                             return std::string(info.param.label);
                         });

TEST_F(InstallRun, AComponentWithAnUnknownIdRunsNothing) {
    Select(app, kNone);
    CLPProduct* stranger = new CLPProduct;
    stranger->id = IDS_COMPONENTS_TITLE;  // a string of the table, but no component
    stranger->selected = 1;
    ASSERT_EQ(1, app.m_products.Add(stranger));
    ASSERT_EQ(1, app.m_products.Add(nullptr));  // null elements are skipped
    RecordingCallback callback;
    EXPECT_EQ(1, InstallProducts(&app, &callback));
    EXPECT_EQ(MainReports(), CheckPipelineReports(callback.reports, Records()));
}

TEST_F(InstallRun, AFailedShortcutMakesTheLastStepsResultZero) {
    Select(app, {false, false, false, true});
    // A file where the product's Start-menu folder belongs: no link can be saved.
    ASSERT_TRUE(MakeFolders(StartMenuVendorFolder()));
    ASSERT_TRUE(WriteFileBytes(StartMenuProductFolder(), "in the way"));
    RecordingCallback callback;
    EXPECT_EQ(0, InstallProducts(&app, &callback));
    // The run went on to the end all the same.
    EXPECT_EQ(StepReports({false, false, false, true}), CheckPipelineReports(callback.reports, Records()));
    ExpectInstalledFiles(app, {false, false, false, true});
    DeleteFileW(StartMenuProductFolder().c_str());
}

// The two folders hold the same text on a real run; each step uses the one it names.
TEST_F(InstallRun, BinFolderAndInstallFolderAreUsedWhereNamed) {
    const Selection tools{true, false, false, false};
    Select(app, tools);
    const std::wstring bin = Join(app.m_paths.InstallDir, L"Tools");
    wcscpy(app.m_paths.BinDir, bin.c_str());
    ASSERT_EQ(1, InstallProducts(&app, nullptr));
    EXPECT_EQ(ReadFileBytes(Join(PackedTree(), L"Bin\\" KVN_NAME_DEMO_PROGRAM)),
              ReadFileBytes(Join(bin, L"" KVN_NAME_DEMO_PROGRAM)));
    EXPECT_FALSE(PathExists(Join(app.m_paths.InstallDir, L"" KVN_NAME_DEMO_PROGRAM)));
    EXPECT_TRUE(PathExists(Join(app.m_paths.InstallDir, L"" KVN_NAME_UNINSTALL_PROGRAM)));
    ExpectUninstallEntry(app);    // from the installation folder
    ExpectShortcuts(app, tools);  // both links from the Bin folder
}

TEST_F(InstallRun, WithoutACallbackTheRunStillInstalls) {
    EXPECT_EQ(1, InstallProducts(&app, nullptr));
    ExpectInstalledFiles(app, kAll);
    ExpectShortcuts(app, kAll);
}

TEST_F(InstallRun, ASecondRunRepairsTheInstallation) {
    Select(app, {true, false, false, false});
    ASSERT_EQ(1, InstallProducts(&app, nullptr));
    const std::wstring readme = Join(app.m_paths.InstallDir, L"readme.txt");
    ASSERT_TRUE(WriteFileBytes(readme, "changed by the user"));
    ASSERT_TRUE(DeleteFileW(Join(StartMenuProductFolder(), L"Barcode Reader SDK Demo.lnk").c_str()));
    RecordingCallback callback;
    EXPECT_EQ(1, InstallProducts(&app, &callback));
    EXPECT_EQ(ReadFileBytes(Join(PackedTree(), L"Main\\readme.txt")), ReadFileBytes(readme));
    ExpectInstalledFiles(app, {true, false, false, false});
    ExpectUninstallEntry(app);
    ExpectShortcuts(app, {true, false, false, false});
}

TEST_F(InstallRun, APayloadUnderAnotherKeyInstallsNothing) {
    HMODULE foreign = LoadLibraryExW(Join(ProgramFolder(), L"app_foreign_payload.dll").c_str(), nullptr,
                                     LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(nullptr, foreign);
    app.m_hResources = foreign;
    RecordingCallback callback;
    InstallOutcome outcome;
    EXPECT_EQ(0, InstallProducts(&app, &callback, &outcome));
    EXPECT_EQ(0, outcome.packageDecoded);
    EXPECT_EQ(0, outcome.stopped);
    EXPECT_EQ(
        (ReportList{{IDS_VALIDATING_PACKAGE, 0}, {IDS_VALIDATING_PACKAGE, 50}, {IDS_VALIDATING_PACKAGE, 90}}),
        callback.reports);
    EXPECT_FALSE(PathExists(app.m_paths.PackageDir));
    EXPECT_TRUE(ListFolder(app.m_paths.InstallDir).empty());
    EXPECT_FALSE(UninstallKeyExists());
    EXPECT_FALSE(PathExists(StartMenuProductFolder()));
    ExpectSystemFiles(app, false);
    FreeLibrary(foreign);
}

TEST_F(InstallRun, FoldersThatDoNotFitFailTheRun) {
    // A Program Files folder so deep that no path of the run fits.
    SetupPaths& paths = app.m_paths;
    std::wstring deep = L"C:\\" + std::wstring(245, L'd');
    FillSetupPaths(paths, deep.c_str(), L"C:\\windows\\system32");
    ASSERT_EQ(0, paths.PackageDir[0]);
    RecordingCallback callback;
    InstallOutcome outcome;
    EXPECT_EQ(0, InstallProducts(&app, &callback, &outcome));
    EXPECT_EQ(0, outcome.packageDecoded);
    EXPECT_TRUE(callback.reports.empty());
    EXPECT_FALSE(UninstallKeyExists());
    EXPECT_FALSE(PathExists(StartMenuProductFolder()));
    EXPECT_FALSE(PathExists(L"Main"));  // nothing relative to the current folder either
    EXPECT_FALSE(PathExists(L"" KVN_NAME_WORKING_FOLDER));
    EXPECT_EQ(0, InstallProducts(nullptr, &callback));
}

// Without a system folder (none reported, or too long for its buffer) every
// system file of the package is a failed copy: the run must not claim success.
TEST_F(InstallRun, NoSystemFolderFailsEachSystemFile) {
    app.m_paths.SystemDir[0] = 0;
    InstallOutcome outcome;
    EXPECT_EQ(1, InstallProducts(&app, nullptr, &outcome));
    EXPECT_EQ(1, outcome.packageDecoded);
    const size_t systemFiles = ListFolder(Join(PackedTree(), L"Sys32")).size();
    ASSERT_GT(systemFiles, 0u);
    EXPECT_EQ(static_cast<int>(systemFiles), outcome.failures);
    ExpectInstalledFiles(app, kAll);
    EXPECT_FALSE(PathExists(app.m_paths.PackageDir));
}

// An extraction that fails part-way (a name whose joined path would not fit
// its buffer, after shorter ones were written) leaves no working folder.
TEST_F(InstallRun, AnExtractionThatFailsPartWayLeavesNoWorkingFolder) {
    wchar_t temp[MAX_PATH] = {};
    ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
    const std::wstring base = std::wstring(temp) + L"kvn-deep-package";
    // 245 units: names of up to 13 units still fit, longer ones do not.
    std::wstring deep = base + L"\\";
    deep += std::wstring(245 - deep.size(), L'p');
    ASSERT_EQ(245u, deep.size());
    wcscpy(app.m_paths.PackageDir, deep.c_str());
    RecordingCallback callback;
    InstallOutcome outcome;
    EXPECT_EQ(0, InstallProducts(&app, &callback, &outcome));
    EXPECT_EQ(0, outcome.packageDecoded);
    const auto extracted =
        std::count_if(callback.reports.begin(), callback.reports.end(),
                      [](const ProgressReport& r) { return r.first == IDS_EXTRACTING_PACKAGE; });
    EXPECT_GT(extracted, 0) << "no record was written before the failure";
    EXPECT_FALSE(PathExists(deep));
    EXPECT_FALSE(UninstallKeyExists());
    RemoveDirectoryW(base.c_str());
}

// A report answered with zero stops the run there; whatever was done before
// it stays, the working folder goes.
struct StopCase {
    const char* label;
    ProgressReport stop;  // {IDS_EXTRACTING_PACKAGE, -1}: the first extraction report
    bool mainFiles;       // the content of Main in the installation folder
    bool entry;           // the uninstall entry
    bool systemFiles;
    bool uninstallLink;
    Selection linked;  // components whose links exist
    bool binFiles;
    int result;
};

std::ostream& operator<<(std::ostream& out, const StopCase& c) {
    return out << c.label;
}

class InstallStop : public MachineTest, public ::testing::WithParamInterface<StopCase> {};

TEST_P(InstallStop, TheRunEndsAtTheReportAnsweredWithZero) {
    const StopCase& c = GetParam();
    const bool firstExtraction = c.stop.first == IDS_EXTRACTING_PACKAGE;
    RecordingCallback callback =
        firstExtraction ? RecordingCallback::StoppingAtIndex(3) : RecordingCallback(c.stop);
    InstallOutcome outcome;
    EXPECT_EQ(c.result, InstallProducts(&app, &callback, &outcome));
    EXPECT_EQ(1, outcome.packageDecoded);
    EXPECT_EQ(1, outcome.stopped);

    if (firstExtraction) {
        ASSERT_EQ(4u, callback.reports.size());
        EXPECT_EQ(IDS_EXTRACTING_PACKAGE, callback.reports.back().first);
    } else if (c.stop.first == IDS_VALIDATING_PACKAGE) {
        EXPECT_EQ((ReportList{c.stop}), callback.reports);
    } else {
        ReportList steps = CheckPipelineReports(callback.reports, Records());
        ReportList all = StepReports(kAll);
        auto end = std::find(all.begin(), all.end(), c.stop);
        ASSERT_NE(all.end(), end);
        EXPECT_EQ(ReportList(all.begin(), end + 1), steps);
    }

    const SetupPaths& p = app.m_paths;
    EXPECT_FALSE(PathExists(p.PackageDir));
    EXPECT_EQ(c.mainFiles, PathExists(Join(p.InstallDir, L"readme.txt")));
    EXPECT_EQ(c.mainFiles, PathExists(Join(p.InstallDir, L"docs\\licence.txt")));
    EXPECT_EQ(c.binFiles, PathExists(Join(p.InstallDir, L"" KVN_NAME_DEMO_PROGRAM)));
    EXPECT_EQ(c.entry, UninstallKeyExists());
    ExpectSystemFiles(app, c.systemFiles);
    if (c.uninstallLink) {
        ExpectShortcuts(app, c.linked);
    } else {
        EXPECT_TRUE(ListFolder(StartMenuProductFolder()).empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Stops, InstallStop,
    ::testing::Values(
        StopCase{"Validation", {IDS_VALIDATING_PACKAGE, 0}, false, false, false, false, kNone, false, 1},
        StopCase{"Extraction", {IDS_EXTRACTING_PACKAGE, -1}, false, false, false, false, kNone, false, 1},
        StopCase{"MainCopied", {IDS_INSTALLING_MAIN, 10}, true, false, false, false, kNone, false, 1},
        StopCase{"EntryWritten", {IDS_INSTALLING_MAIN, 50}, true, true, false, false, kNone, false, 1},
        StopCase{"SystemFilesCopied", {IDS_INSTALLING_TOOLS, 80}, true, true, true, false, kNone, false, 1},
        StopCase{"MainDone", {IDS_INSTALLING_MAIN, 100}, true, true, true, true, kNone, false, 1},
        StopCase{"ToolsStarted", {IDS_INSTALLING_TOOLS, 0}, true, true, true, true, kNone, false, 0},
        StopCase{"HelpDone",
                 {IDS_INSTALLING_HELP, 100},
                 true,
                 true,
                 true,
                 true,
                 {true, true, false, false},
                 true,
                 1},
        StopCase{"RedistCopied",
                 {IDS_INSTALLING_REDIST, 50},
                 true,
                 true,
                 true,
                 true,
                 {true, true, true, false},
                 true,
                 0}),
    [](const ::testing::TestParamInfo<StopCase>& info) { return std::string(info.param.label); });

}  // namespace
