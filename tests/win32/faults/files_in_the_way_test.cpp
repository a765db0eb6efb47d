// Files in the way at the destinations: held open by another process, read
// only, or a file where a folder belongs. The run goes on with the same
// reports, does not claim success, and the rollback removes all it can.
#include <windows.h>

#include <cstdio>

#include <gtest/gtest.h>

#include "app/install_sequence.h"
#include "app/rollback.h"
#include "tests/win32/app/install_checks.h"
#include "tests/win32/faults/faults_support.h"

namespace {

size_t Records() {
    return CountEntries(PackedTree());
}

class FilesInTheWay : public MachineTest {
protected:
    std::wstring Installed(const wchar_t* name) { return Join(app.m_paths.InstallDir, name); }
    void Rollback() {
        NeverStopCallback quiet;
        RollbackInstallation(&app, &quiet);
    }
};

TEST_F(FilesInTheWay, FilesHeldOpenByAnotherProcessAreCountedAndStayAsTheyWere) {
    // A top-level file (the version-aware copy) and one deep in a sub-tree (the tree copy).
    const std::wstring top = Installed(L"readme.txt");
    const std::wstring deep = Installed(L"Help\\Java\\docs\\index.html");
    ASSERT_TRUE(MakeFolders(Installed(L"Help\\Java\\docs")));
    ASSERT_TRUE(WriteFileBytes(top, "the user's own readme"));
    ASSERT_TRUE(WriteFileBytes(deep, "the user's own page"));
    {
        FileHolder holdTop(top), holdDeep(deep);
        ASSERT_TRUE(holdTop.Holding());
        ASSERT_TRUE(holdDeep.Holding());

        RecordingCallback callback;
        InstallOutcome outcome;
        InstallProducts(&app, &callback, &outcome);
        // The same reports as an undisturbed run, and the run went to its end.
        EXPECT_EQ(StepReports(kAll), CheckPipelineReports(callback.reports, Records()));
        EXPECT_EQ(1, outcome.packageDecoded);
        EXPECT_EQ(0, outcome.stopped);
        EXPECT_EQ(2, outcome.failures);
        EXPECT_FALSE(ClaimsSuccess(outcome));
        // Everything else was installed.
        const std::vector<std::wstring> differences = InstallationDifferences(app);
        EXPECT_EQ(2u, differences.size());
        for (const std::wstring& d : differences)
            EXPECT_TRUE(d == L"content differs: " + top || d == L"content differs: " + deep) << Narrow(d);

        Rollback();
        // The held files and the folders above them stay; nothing else.
        EXPECT_EQ((std::vector<std::wstring>{L"Help", L"readme.txt"}), ListFolder(app.m_paths.InstallDir));
        EXPECT_EQ(5u, CountEntries(app.m_paths.InstallDir, false)) << "readme, Help, Java, docs, index.html";
        EXPECT_FALSE(UninstallKeyExists());
        EXPECT_FALSE(PathExists(StartMenuProductFolder()));
    }
    // Untouched by the run and the rollback.
    EXPECT_EQ("the user's own readme", ReadFileBytes(top));
    EXPECT_EQ("the user's own page", ReadFileBytes(deep));
    // Once the other program lets go, a second rollback finishes the job.
    Rollback();
    EXPECT_FALSE(FindLeftovers(app).Any()) << FindLeftovers(app).Describe();
}

TEST_F(FilesInTheWay, AReadOnlyFileIsEitherReplacedOrCountedNeverSilentlyKept) {
    const std::wstring file = Installed(L"readme.txt");
    ASSERT_TRUE(MakeFolders(app.m_paths.InstallDir));
    ASSERT_TRUE(WriteFileBytes(file, "an old read-only readme"));
    ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY));

    InstallOutcome outcome;
    InstallProducts(&app, nullptr, &outcome);
    EXPECT_EQ(1, outcome.packageDecoded);
    const std::string packed = ReadFileBytes(Join(PackedTree(), L"Main\\readme.txt"));
    const std::string now = ReadFileBytes(file);
    if (outcome.failures == 0) {
        // Wine as root may write through the read-only attribute: then the file is the package's.
        EXPECT_EQ(packed, now);
        EXPECT_TRUE(InstallationDifferences(app).empty());
        std::printf("read-only destination file: replaced (the copy was allowed)\n");
    } else {
        EXPECT_EQ(1, outcome.failures);
        EXPECT_EQ("an old read-only readme", now);
        EXPECT_FALSE(ClaimsSuccess(outcome));
        std::printf("read-only destination file: refused and counted\n");
    }
    Rollback();
    EXPECT_FALSE(FindLeftovers(app).Any()) << FindLeftovers(app).Describe();
}

TEST_F(FilesInTheWay, AFileWhereAComponentFolderBelongsFailsEveryFileOfThatFolder) {
    ASSERT_TRUE(MakeFolders(app.m_paths.InstallDir));
    ASSERT_TRUE(WriteFileBytes(Installed(L"Redistributables"), "a file, not a folder"));
    RecordingCallback callback;
    InstallOutcome outcome;
    InstallProducts(&app, &callback, &outcome);
    EXPECT_EQ(StepReports(kAll), CheckPipelineReports(callback.reports, Records()));
    // The folder and each of its files.
    EXPECT_EQ(static_cast<int>(1 + CountEntries(Join(PackedTree(), L"Redistributables"))), outcome.failures);
    EXPECT_FALSE(ClaimsSuccess(outcome));
    EXPECT_EQ("a file, not a folder", ReadFileBytes(Installed(L"Redistributables")));
    Rollback();
    EXPECT_FALSE(FindLeftovers(app).Any()) << FindLeftovers(app).Describe();
}

TEST_F(FilesInTheWay, ASecondRunOverACompleteInstallationHasNoFailures) {
    // Existing folders and files of an earlier run are not in the way.
    InstallOutcome first, second;
    InstallProducts(&app, nullptr, &first);
    ASSERT_TRUE(ClaimsSuccess(first)) << first.failures;
    InstallProducts(&app, nullptr, &second);
    EXPECT_TRUE(ClaimsSuccess(second)) << second.failures;
    EXPECT_TRUE(InstallationDifferences(app).empty());
}

}  // namespace
