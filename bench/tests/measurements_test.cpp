// The in-process measurements on a small packed tree: every run works on
// the same data and reports consistent results, and damaged data is seen.
#include <algorithm>
#include <fstream>

#include <gtest/gtest.h>

#include "bench/digest.h"
#include "bench/install_compare.h"
#include "bench/measurements.h"
#include "bench/tree_files.h"
#include "bench/tree_plan.h"
#include "package/package_format.h"
#include "tests/native/support/temp_folder.h"
#include "tools/kvnpack/file_io.h"
#include "tools/kvnpack/payload_writer.h"
#include "tools/kvnpack/tree_scan.h"

namespace fs = std::filesystem;

namespace {

class Measurements : public ::testing::Test {
protected:
    void SetUp() override {
        TreeShape shape;
        shape.scale = 0.01;
        plan = PlanSdkTree(shape);
        std::string error;
        ASSERT_TRUE(WriteTree(plan, tree, error)) << error;
        std::vector<TreeEntry> entries;
        std::vector<uint8_t> image;
        ASSERT_TRUE(ScanTree(tree, entries, error)) << error;
        ASSERT_TRUE(BuildPackageImage(entries, image, error)) << error;
        ASSERT_TRUE(SealPackageImage(image, false, container, error)) << error;
        ASSERT_TRUE(WriteFileReplacing(payload, container.GetData(), container.GetLength(), error)) << error;
        imageDigest = Digest(image.data(), image.size());
    }
    TempFolder folder{"measure"};
    fs::path tree = folder.path() / "tree";
    fs::path payload = folder.path() / "payload.bin";
    TreePlan plan;
    CWBlock container;
    std::string imageDigest;
};

TEST_F(Measurements, DecryptionRunsOnAFreshCopyEachTimeAndLeavesTheContainerAlone) {
    const std::string before = Digest(container.GetData(), container.GetLength());
    const DecryptRuns runs = MeasureDecrypt(container, 3);
    EXPECT_EQ(3u, runs.seconds.size());
    EXPECT_EQ(before, Digest(container.GetData(), container.GetLength()));
    // Decrypting twice in a row would give other bytes: every run starts from the ciphertext.
    EXPECT_EQ(runs.digest, MeasureDecrypt(container, 1).digest);
}

TEST_F(Measurements, InflationAgreesWithUncompressAndTheWalkSeesEveryRecord) {
    CWBlock image;
    image.CopyFrom(container);
    DecryptContainer(image);
    const InflateRuns inflate = MeasureInflate(image, 3);
    EXPECT_TRUE(inflate.same);
    EXPECT_EQ(3u, inflate.ours.size());
    EXPECT_EQ(3u, inflate.bareFresh.size());
    EXPECT_EQ(3u, inflate.bareWarm.size());
    EXPECT_EQ(3u, inflate.setSize.size());

    CWBlock package;
    ASSERT_EQ(0, InflatePackage(image, package));
    EXPECT_EQ(imageDigest, Digest(package.GetData(), package.GetLength()));
    const WalkRuns walk = MeasureWalk(package, 2);
    EXPECT_TRUE(walk.complete);
    EXPECT_EQ(plan.files.size() + plan.folders.size(), walk.records);
    EXPECT_EQ(Measure(plan).bytes, walk.contentBytes);
}

TEST_F(Measurements, DamagedDataIsReportedNotMeasuredAsIfFine) {
    // A flipped ciphertext byte garbles its block and the next: the stream's check fails.
    CWBlock damaged;
    damaged.CopyFrom(container);
    damaged.GetData()[damaged.GetLength() / 2] ^= 0x40;
    DecryptContainer(damaged);
    EXPECT_FALSE(MeasureInflate(damaged, 1).same);

    CWBlock image;
    image.CopyFrom(container);
    DecryptContainer(image);
    CWBlock package;
    ASSERT_EQ(0, InflatePackage(image, package));
    package.SetSize(package.GetLength() - 3);  // the last record cut short
    EXPECT_FALSE(MeasureWalk(package, 1).complete);
}

TEST_F(Measurements, TheWholeDecodeIsCheckedAgainstTheTreeAndCleanedUp) {
    const DecodeRuns runs = MeasureDecode(payload.string(), folder.path().string(), tree.string(), 2);
    EXPECT_EQ(2u, runs.times.size()) << runs.error;
    EXPECT_EQ(2u, runs.removal.size());
    EXPECT_TRUE(runs.differences.empty());
    EXPECT_FALSE(fs::exists(folder.path() / "decode-1"));
    EXPECT_FALSE(fs::exists(folder.path() / "decode-2"));

    // A payload under another key stops at once with the reason.
    std::vector<TreeEntry> entries;
    std::vector<uint8_t> image;
    CWBlock foreign;
    std::string error;
    ASSERT_TRUE(ScanTree(tree, entries, error) && BuildPackageImage(entries, image, error) &&
                SealPackageImage(image, true, foreign, error));
    ASSERT_TRUE(WriteFileReplacing(payload, foreign.GetData(), foreign.GetLength(), error));
    const DecodeRuns refused = MeasureDecode(payload.string(), folder.path().string(), tree.string(), 2);
    EXPECT_TRUE(refused.times.empty());
    EXPECT_NE(std::string::npos, refused.error.find("does not inflate"));
}

TEST(InstallComparison, AFolderThatIsNoWinePrefixIsRefusedBeforeAnythingRuns) {
    TempFolder folder("noprefix");
    InstallComparison comparison;
    comparison.prefix = folder.path().string();
    comparison.setup = "/nonexistent/setup.exe";
    comparison.nsis = "/nonexistent/nsis.exe";
    comparison.tree = folder.path().string();
    testing::internal::CaptureStderr();
    EXPECT_EQ(1, CompareInstallations(comparison));
    EXPECT_NE(std::string::npos, testing::internal::GetCapturedStderr().find("not a Wine prefix"));
}

}  // namespace
