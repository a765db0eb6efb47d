// The setup state: folder paths, the component list, the quoted command
// lines and the report gate.
#include <windows.h>

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "app/command_line.h"
#include "app/report_gate.h"
#include "app/setup_state.h"
#include "app/setup_paths.h"
#include "app/product_names.h"
#include "package/string_ids.h"
#include "tests/win32/app/test_support.h"
#include "tests/win32/support/other_setup.h"

namespace {

struct PathField {
    const char* name;
    wchar_t (SetupPaths::*field)[kPathUnits];
    const wchar_t* below;  // text after the product folder; nullptr: not derived from it
};

// Every field but SystemDir, with what follows "<Program Files>\Korvane\KVNBarcodeSDK".
const PathField kDerivedFields[] = {
    {"InstallDir", &SetupPaths::InstallDir, L""},
    {"BinDir", &SetupPaths::BinDir, L""},
    {"HelpDir", &SetupPaths::HelpDir, L"\\Help"},
    {"SamplesDir", &SetupPaths::SamplesDir, L"\\Samples"},
    {"ImagesDir", &SetupPaths::ImagesDir, L"\\Images"},
    {"IncludeDir", &SetupPaths::IncludeDir, L"\\include"},
    {"LibDir", &SetupPaths::LibDir, L"\\lib"},
    {"RedistDir", &SetupPaths::RedistDir, L"\\Redistributables"},
    {"PackageDir", &SetupPaths::PackageDir, L"\\" KVN_NAME_WORKING_FOLDER},
    {"PkgMainDir", &SetupPaths::PkgMainDir, L"\\" KVN_NAME_WORKING_FOLDER "\\Main"},
    {"PkgBinDir", &SetupPaths::PkgBinDir, L"\\" KVN_NAME_WORKING_FOLDER "\\Bin"},
    {"PkgHelpDir", &SetupPaths::PkgHelpDir, L"\\" KVN_NAME_WORKING_FOLDER "\\Help"},
    {"PkgSamplesDir", &SetupPaths::PkgSamplesDir, L"\\" KVN_NAME_WORKING_FOLDER "\\Samples"},
    {"PkgImagesDir", &SetupPaths::PkgImagesDir, L"\\" KVN_NAME_WORKING_FOLDER "\\Images"},
    {"PkgIncludeDir", &SetupPaths::PkgIncludeDir, L"\\" KVN_NAME_WORKING_FOLDER "\\include"},
    {"PkgLibDir", &SetupPaths::PkgLibDir, L"\\" KVN_NAME_WORKING_FOLDER "\\lib"},
    {"PkgRedistDir", &SetupPaths::PkgRedistDir, L"\\" KVN_NAME_WORKING_FOLDER "\\Redistributables"},
    {"PkgSys32Dir", &SetupPaths::PkgSys32Dir, L"\\" KVN_NAME_WORKING_FOLDER "\\Sys32"},
};

// Expects every derived field to be product + its suffix, or empty when that
// would not fit in 259 characters.
void ExpectDerivedPaths(const SetupPaths& paths, const std::wstring& product) {
    for (const PathField& f : kDerivedFields) {
        std::wstring want = product + f.below;
        if (want.size() > 259) want.clear();
        EXPECT_EQ(Narrow(want), Narrow((paths.*f.field))) << f.name;
    }
}

// A struct full of garbage, as a test of "every buffer is written".
void Scribble(SetupPaths& paths) {
    std::memset(&paths, 0x41, sizeof(paths));
}

TEST(FillSetupPaths, ProgramFilesWithoutTrailingSeparator) {
    SetupPaths paths;
    Scribble(paths);
    FillSetupPaths(paths, L"C:\\Program Files", L"C:\\windows\\system32");
    ExpectDerivedPaths(paths, L"C:\\Program Files\\" KVN_NAME_INSTALL_SUBFOLDER);
    EXPECT_STREQ(L"C:\\windows\\system32", paths.SystemDir);
    EXPECT_NE(paths.InstallDir, paths.BinDir);  // two buffers with one text
}

TEST(FillSetupPaths, ProgramFilesWithTrailingSeparatorGetsNoSecondOne) {
    SetupPaths paths;
    FillSetupPaths(paths, L"D:\\Apps\\", L"C:\\windows\\system32");
    ExpectDerivedPaths(paths, L"D:\\Apps\\" KVN_NAME_INSTALL_SUBFOLDER);
}

TEST(FillSetupPaths, DriveRootAsProgramFiles) {
    SetupPaths paths;
    FillSetupPaths(paths, L"E:\\", L"C:\\windows\\system32");
    ExpectDerivedPaths(paths, L"E:\\" KVN_NAME_INSTALL_SUBFOLDER);
}

TEST(FillSetupPaths, UnresolvedProgramFilesGivesRelativePaths) {
    for (const wchar_t* programFiles : {L"", static_cast<const wchar_t*>(nullptr)}) {
        SetupPaths paths;
        Scribble(paths);
        FillSetupPaths(paths, programFiles, L"C:\\windows\\system32");
        ExpectDerivedPaths(paths, L"" KVN_NAME_INSTALL_SUBFOLDER);
        EXPECT_STREQ(L"" KVN_NAME_INSTALL_SUBFOLDER "\\" KVN_NAME_WORKING_FOLDER "\\Main", paths.PkgMainDir);
    }
}

TEST(FillSetupPaths, OverLongProgramFilesLeavesEveryDerivedPathEmpty) {
    SetupPaths paths;
    Scribble(paths);
    std::wstring deep = L"C:\\" + std::wstring(240, L'p');
    FillSetupPaths(paths, deep.c_str(), L"C:\\windows\\system32");
    for (const PathField& f : kDerivedFields) EXPECT_EQ(0, (paths.*f.field)[0]) << f.name;
    // No relative "Help" or "_Package\Main" from an empty parent.
    EXPECT_STREQ(L"C:\\windows\\system32", paths.SystemDir);
}

TEST(FillSetupPaths, ProgramFilesLongerThanABufferIsRefused) {
    SetupPaths paths;
    std::wstring huge(600, L'x');
    FillSetupPaths(paths, huge.c_str(), huge.c_str());
    EXPECT_EQ(0, paths.InstallDir[0]);
    EXPECT_EQ(0, paths.SystemDir[0]);
    EXPECT_EQ(0, paths.PkgSys32Dir[0]);
}

TEST(FillSetupPaths, PathsAtTheLimitAreKeptAndTheirChildrenDropped) {
    // "\Korvane\KVNBarcodeSDK" adds 22 characters.
    const std::wstring tail = L"\\" KVN_NAME_INSTALL_SUBFOLDER;
    {
        SetupPaths paths;
        std::wstring programFiles = L"C:\\" + std::wstring(259 - 3 - tail.size(), L'a');
        FillSetupPaths(paths, programFiles.c_str(), L"S");
        ASSERT_EQ(259u, wcslen(paths.InstallDir));
        ExpectDerivedPaths(paths, programFiles + tail);
        EXPECT_EQ(0, paths.HelpDir[0]);
        EXPECT_EQ(0, paths.PkgMainDir[0]);
    }
    {
        SetupPaths paths;
        std::wstring programFiles = L"C:\\" + std::wstring(260 - 3 - tail.size(), L'a');
        FillSetupPaths(paths, programFiles.c_str(), L"S");
        EXPECT_EQ(0, paths.InstallDir[0]);
        EXPECT_EQ(0, paths.BinDir[0]);
    }
    {
        // The working folder fits, its longest child does not.
        SetupPaths paths;
        std::wstring programFiles = L"C:\\" + std::wstring(239 - 3 - tail.size(), L'b');
        FillSetupPaths(paths, programFiles.c_str(), L"S");
        ExpectDerivedPaths(paths, programFiles + tail);
        EXPECT_NE(0, paths.PackageDir[0]);
        EXPECT_NE(0, paths.PkgSys32Dir[0]);
        EXPECT_EQ(0, paths.PkgRedistDir[0]);
    }
    {
        SetupPaths paths;
        std::wstring system259 = L"C:\\" + std::wstring(256, L's');
        FillSetupPaths(paths, L"C:\\P", system259.c_str());
        EXPECT_EQ(Narrow(system259), Narrow(paths.SystemDir));
        std::wstring system260 = system259 + L"s";
        FillSetupPaths(paths, L"C:\\P", system260.c_str());
        EXPECT_EQ(0, paths.SystemDir[0]);
    }
}

TEST(SetupApp, ConstructionLeavesAnEmptyState) {
    CLPSSetupState app;
    EXPECT_EQ(-1, app.m_nCancelPage);
    EXPECT_EQ(nullptr, app.m_hIcon);
    EXPECT_EQ(0, app.m_products.GetCount());
    EXPECT_EQ(0u, app.m_agreementText.GetLength());
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&app.m_paths);
    size_t nonZero = 0;
    for (size_t i = 0; i < sizeof(app.m_paths); ++i) nonZero += bytes[i] != 0;
    EXPECT_EQ(0u, nonZero);
    EXPECT_EQ(GetModuleHandleW(nullptr), app.m_hResources);
}

TEST(SetupApp, ProductListHoldsTheFourComponentsSelectedInOrder) {
    CLPSSetupState app;
    app.m_hResources = GetModuleHandleW(nullptr);
    struct Expected {
        int id;
        const wchar_t* name;
        const wchar_t* description;
    };
    const Expected expected[] = {
        {kProductTools, L"Korvane\u00AE Barcode Reader Tools",
         L"Recognition performance and accuracy validation tools."},
        {kProductHelp, L"Help Documentation", L"Architecture overview, API and interface description."},
        {kProductSamples, L"Sample Applications",
         L"Various programming languages sample application with source code."},
        {kProductRedist, L"Redistributable components",
         L"DLL, .NET Assemblies and JAR files Required for redistribution of Korvane\u00AE Barcode Reader "},
    };
    // Built twice: the second build replaces the first list, choices reset.
    for (int round = 0; round < 2; ++round) {
        app.BuildProductList();
        ASSERT_EQ(4, app.m_products.GetCount());
        for (int i = 0; i < 4; ++i) {
            CLPProduct* product = app.m_products.GetAt(i);
            ASSERT_NE(nullptr, product);
            EXPECT_EQ(expected[i].id, product->id);
            EXPECT_STREQ(expected[i].name, product->GetName());
            EXPECT_STREQ(expected[i].description, product->GetDescription());
            EXPECT_EQ(1, product->selected);
            product->selected = 0;
        }
    }
}

TEST(SetupApp, ProductListFromAModuleWithoutStringsHasEmptyTexts) {
    CLPSSetupState app;
    app.m_hResources = GetModuleHandleW(L"kernel32.dll");
    app.BuildProductList();
    ASSERT_EQ(4, app.m_products.GetCount());
    EXPECT_EQ(kProductTools, app.m_products.GetAt(0)->id);
    EXPECT_STREQ(L"", app.m_products.GetAt(0)->GetName());
}

TEST(SetupApp, ComputedPathsUseTheMachinesFolders) {
    CLPSSetupState app;
    app.ComputeSetupPaths();
    std::wstring install = app.m_paths.InstallDir;
    const std::wstring tail = L"\\" KVN_NAME_INSTALL_SUBFOLDER;
    ASSERT_GT(install.size(), tail.size() + 3);
    EXPECT_EQ(tail, install.substr(install.size() - tail.size()));
    EXPECT_EQ(L":\\", install.substr(1, 2));  // absolute
    EXPECT_STREQ(app.m_paths.InstallDir, app.m_paths.BinDir);
    EXPECT_EQ(install + L"\\" KVN_NAME_WORKING_FOLDER "\\Sys32", std::wstring(app.m_paths.PkgSys32Dir));
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_STREQ(system, app.m_paths.SystemDir);
}

TEST(QuoteJoinedPath, QuotesTheJoinedPathAndRefusesWhatDoesNotFit) {
    wchar_t out[kQuotedPathUnits];
    ASSERT_EQ(1, QuoteJoinedPath(out, kQuotedPathUnits, L"C:\\Program Files\\K", L"a b.exe"));
    EXPECT_STREQ(L"\"C:\\Program Files\\K\\a b.exe\"", out);
    ASSERT_EQ(1, QuoteJoinedPath(out, kQuotedPathUnits, L"C:\\", L"x.exe"));
    EXPECT_STREQ(L"\"C:\\x.exe\"", out);

    // A joined path of 259 characters still fits, quoted, in 262 units.
    std::wstring folder = L"C:\\" + std::wstring(259 - 3 - 6, L'f');
    ASSERT_EQ(1, QuoteJoinedPath(out, kQuotedPathUnits, folder.c_str(), L"x.exe"));
    EXPECT_EQ(261u, wcslen(out));
    // 260 characters do not fit in a path buffer.
    std::wstring longer = folder + L"f";
    out[0] = L'?';
    EXPECT_EQ(0, QuoteJoinedPath(out, kQuotedPathUnits, longer.c_str(), L"x.exe"));
    EXPECT_EQ(0, out[0]);
    // Too small a destination, an empty folder.
    wchar_t small[9];
    EXPECT_EQ(0, QuoteJoinedPath(small, 8, L"C:", L"c.e"));  // "C:\c.e" quoted needs 9 units
    EXPECT_EQ(0, small[0]);
    EXPECT_EQ(1, QuoteJoinedPath(small, 9, L"C:", L"c.e"));
    EXPECT_STREQ(L"\"C:\\c.e\"", small);
    EXPECT_EQ(0, QuoteJoinedPath(out, kQuotedPathUnits, L"", L"x.exe"));
    EXPECT_EQ(0, QuoteJoinedPath(out, kQuotedPathUnits, nullptr, L"x.exe"));
}

TEST(ReportGate, StopsForwardingAfterTheFirstZeroReply) {
    RecordingCallback target(ProgressReport{IDS_INSTALLING_MAIN, 10});
    CLPSReportGate gate(&target);
    EXPECT_EQ(1, gate.ReportProgress(IDS_INSTALLING_MAIN, 0));
    EXPECT_EQ(0, gate.Stopped());
    EXPECT_EQ(0, gate.ReportProgress(IDS_INSTALLING_MAIN, 10));
    EXPECT_EQ(1, gate.Stopped());
    EXPECT_EQ(0, gate.ReportProgress(IDS_INSTALLING_MAIN, 50));  // not forwarded, still "stop"
    EXPECT_EQ((ReportList{{IDS_INSTALLING_MAIN, 0}, {IDS_INSTALLING_MAIN, 10}}), target.reports);

    CLPSReportGate silent(nullptr);
    EXPECT_EQ(1, silent.ReportProgress(1, 2));
    EXPECT_EQ(0, silent.Stopped());
}

}  // namespace

TEST(SetupLock, OneSetupAtATimeAndAnAbandonedLockIsTaken) {
    OtherSetup other;
    ASSERT_TRUE(other.Running());
    CLPSSetupLock second;
    EXPECT_FALSE(second.TryAcquire());
    EXPECT_FALSE(second.Held());
    other.End();  // ends holding it: abandoned
    EXPECT_TRUE(second.TryAcquire());
    EXPECT_TRUE(second.TryAcquire()) << "held: asked again, still held";
}
