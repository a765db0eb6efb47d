// Program Files on a drive that fills up during the run (scripts mount two
// small RAM-backed drives for this test: X: smaller than the package, Y:
// with room for the package but not for its copies). The run must not claim
// success, and the rollback must give the space back.
#include <windows.h>

#include <cstdio>

#include <gtest/gtest.h>

#include "app/install_sequence.h"
#include "app/product_names.h"
#include "app/rollback.h"
#include "app/setup_paths.h"
#include "tests/win32/app/install_checks.h"
#include "tests/win32/faults/faults_support.h"

namespace {

struct Space {
    bool known = false;
    ULONGLONG total = 0, free = 0;
};

Space SpaceOf(const wchar_t* root) {
    Space space;
    ULARGE_INTEGER available, total, free;
    if (GetDiskFreeSpaceExW(root, &available, &total, &free)) {
        space.known = true;
        space.total = total.QuadPart;
        space.free = free.QuadPart;
    }
    return space;
}

// What the tree's files take on a RAM-backed drive: whole 4 KiB pages.
ULONGLONG TreePages(const std::wstring& folder) {
    ULONGLONG bytes = 0;
    for (const std::wstring& name : ListFolder(folder)) {
        const std::wstring path = Join(folder, name);
        bytes += IsFolder(path) ? TreePages(path) : (ReadFileBytes(path).size() + 4095) / 4096 * 4096;
    }
    return bytes;
}

class DiskFull : public ::testing::TestWithParam<const wchar_t*> {};

TEST_P(DiskFull, TheRunDoesNotClaimSuccessAndTheRollbackFreesTheDrive) {
    const std::wstring root = GetParam();
    const Space before = SpaceOf(root.c_str());
    if (!before.known)
        GTEST_SKIP() << "drive " << Narrow(root) << " is not mapped (run through with-small-drive)";
    const std::wstring programFiles = root + L"Program Files";
    ASSERT_TRUE(CreateDirectoryW(programFiles.c_str(), nullptr) || IsFolder(programFiles));
    const Space start = SpaceOf(root.c_str());
    // X: cannot hold the working folder; Y: holds it, but not the installation beside it.
    const ULONGLONG pages = TreePages(PackedTree());
    if (root == L"X:\\") {
        ASSERT_LT(start.free, pages);
    } else {
        ASSERT_GT(start.free, pages);
        ASSERT_LT(start.free, 2 * pages);
    }

    CLPSSetupState app;
    app.m_hResources = GetModuleHandleW(nullptr);
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    FillSetupPaths(app.m_paths, programFiles.c_str(), system);
    app.BuildProductList();
    CleanMachine(app);

    RecordingCallback callback;
    InstallOutcome outcome;
    InstallProducts(&app, &callback, &outcome);
    const Space full = SpaceOf(root.c_str());
    std::printf(
        "drive %s with %llu KiB free for a tree of %llu KiB in pages: decoded %d, failures %d, %llu KiB "
        "free once the run had deleted its working folder\n",
        Narrow(root).c_str(), start.free / 1024, pages / 1024, outcome.packageDecoded, outcome.failures,
        full.free / 1024);
    EXPECT_FALSE(ClaimsSuccess(outcome)) << "a run on a full disk claimed success";
    EXPECT_TRUE(outcome.failures > 0 || !outcome.packageDecoded);
    EXPECT_EQ(0, outcome.stopped);
    if (outcome.packageDecoded) {
        // Failed writes change nothing in the order of the run.
        EXPECT_EQ(StepReports(kAll), CheckPipelineReports(callback.reports, CountEntries(PackedTree())));
    }
    EXPECT_FALSE(PathExists(app.m_paths.PackageDir));

    NeverStopCallback quiet;
    RollbackInstallation(&app, &quiet);
    const Leftovers left = FindLeftovers(app);
    EXPECT_FALSE(left.Any()) << left.Describe();
    const Space after = SpaceOf(root.c_str());
    EXPECT_EQ(start.free, after.free) << "the rollback did not give all the space back";
    // Only the empty vendor folder stays in Program Files.
    const std::vector<std::wstring> rest = ListFolder(programFiles);
    EXPECT_TRUE(rest.empty() || (rest.size() == 1 && rest[0] == L"" KVN_NAME_VENDOR_FOLDER &&
                                 ListFolder(Join(programFiles, L"" KVN_NAME_VENDOR_FOLDER)).empty()));
    CleanMachine(app);
    RemoveTree(programFiles);
}

INSTANTIATE_TEST_SUITE_P(SmallDrives, DiskFull, ::testing::Values(L"X:\\", L"Y:\\"),
                         [](const ::testing::TestParamInfo<const wchar_t*>& info) {
                             return std::string(1, static_cast<char>(info.param[0])) + "Drive";
                         });

}  // namespace
