// The measuring harness: summaries, reading a child's output, starting
// children with their own environment, and splitting an installation's
// time into phases from its progress reports.
#include <gtest/gtest.h>

#include "bench/child_process.h"
#include "bench/install_phases.h"
#include "bench/stats.h"
#include "package/string_ids.h"

namespace {

// The reports' string ids, short for the tables below.
constexpr int kValid = IDS_VALIDATING_PACKAGE, kExtract = IDS_EXTRACTING_PACKAGE;
constexpr int kMain = IDS_INSTALLING_MAIN, kTools = IDS_INSTALLING_TOOLS, kHelp = IDS_INSTALLING_HELP;
constexpr int kSamples = IDS_INSTALLING_SAMPLES, kRedist = IDS_INSTALLING_REDIST;

TEST(Stats, MedianOfOddEvenAndNoSamples) {
    EXPECT_DOUBLE_EQ(2.0, Median({3.0, 1.0, 2.0}));
    EXPECT_DOUBLE_EQ(2.5, Median({4.0, 1.0, 3.0, 2.0}));
    EXPECT_DOUBLE_EQ(0.0, Median({}));
    EXPECT_DOUBLE_EQ(1.0, Minimum({3.0, 1.0, 2.0}));
    EXPECT_DOUBLE_EQ(0.0, MegabytesPerSecond(1e6, 0));
    EXPECT_DOUBLE_EQ(2.0, MegabytesPerSecond(1e6, 0.5));
}

TEST(Stats, FindValueTakesTheWholeKeyAndCrLfLines) {
    const std::string output = "seconds2=9\r\nseconds=1.5\r\nphase.copy + decrypt=0.25\r\nempty=\nlast=7";
    EXPECT_EQ("1.5", FindValue(output, "seconds"));
    EXPECT_EQ("9", FindValue(output, "seconds2"));
    EXPECT_EQ("0.25", FindValue(output, "phase.copy + decrypt"));
    EXPECT_EQ("", FindValue(output, "empty"));
    EXPECT_EQ("7", FindValue(output, "last"));
    EXPECT_EQ("", FindValue(output, "second"));
}

TEST(ChildProcess, PassesArgumentsAndEnvironmentAndReturnsOutputAndStatus) {
    const ChildResult child = RunChild("sh", {"-c", "echo \"$KVN_BENCH_PROBE,$1\"; exit 3", "sh", "arg one"},
                                       {{"KVN_BENCH_PROBE", "set"}});
    EXPECT_TRUE(child.started);
    EXPECT_EQ(3, child.exitCode);
    EXPECT_EQ("set,arg one\n", child.output);
    // A variable of the parent is replaced, not doubled.
    setenv("KVN_BENCH_PROBE", "parent", 1);
    EXPECT_EQ("child\n",
              RunChild("sh", {"-c", "echo $KVN_BENCH_PROBE"}, {{"KVN_BENCH_PROBE", "child"}}).output);
    EXPECT_EQ("parent\n", RunChild("sh", {"-c", "echo $KVN_BENCH_PROBE"}, {}).output);
    unsetenv("KVN_BENCH_PROBE");
    EXPECT_FALSE(RunChild("/nonexistent/kvnbench-none", {}, {}).started);
}

TEST(ChildProcess, OutputLargerThanAPipeIsReadWhole) {
    // More than the pipe holds: the parent must read while the child writes.
    const ChildResult child = RunChild("sh", {"-c", "head -c 300000 /dev/zero | tr '\\0' k"}, {});
    EXPECT_EQ(0, child.exitCode);
    EXPECT_EQ(std::string(300000, 'k'), child.output);
}

// The reports of a complete run with every component, one per line of the
// installation sequence, at the given times (seconds since the start).
std::vector<TimedReport> FullRun() {
    return {
        {kValid, 0, 0.01},    {kValid, 50, 0.51},    {kValid, 90, 0.71},   // open, copy + decrypt, inflate
        {kExtract, 40, 0.80}, {kExtract, 100, 1.80},                       // pause + first record, extraction
        {kMain, 0, 1.85},     {kMain, 10, 2.05},     {kMain, 50, 2.06},    // release, main copy, registry
        {kTools, 20, 2.10},   {kTools, 80, 2.10},    {kMain, 100, 2.20},   // system copy, -, shortcut
        {kTools, 0, 2.20},    {kTools, 0, 2.40},     {kTools, 100, 2.45},  // tools copy, shortcut
        {kHelp, 0, 2.45},     {kHelp, 50, 2.85},     {kHelp, 100, 2.95},   // help copy, two shortcuts
        {kSamples, 0, 2.95},  {kSamples, 20, 3.05},  {kSamples, 40, 3.15},   // samples, images, include
        {kSamples, 50, 3.25}, {kSamples, 70, 3.35},  {kSamples, 100, 3.40},  // lib, shortcut
        {kRedist, 0, 3.40},   {kRedist, 50, 3.60},   {kRedist, 100, 3.65},
    };
}

TEST(InstallPhases, AFullRunSplitsIntoItsActionsAndAddsUpToTheTotal) {
    const PhaseTotals t = SplitIntoPhases(FullRun(), 4.15);
    EXPECT_NEAR(0.01, t.Of(InstallPhase::Open), 1e-9);
    EXPECT_NEAR(0.50, t.Of(InstallPhase::CopyDecrypt), 1e-9);
    EXPECT_NEAR(0.20, t.Of(InstallPhase::Inflate), 1e-9);
    EXPECT_NEAR(0.05, t.Of(InstallPhase::Pause), 1e-9);
    EXPECT_NEAR(0.04 + 1.00, t.Of(InstallPhase::Extract), 1e-9);
    EXPECT_NEAR(0.05, t.Of(InstallPhase::Release), 1e-9);
    EXPECT_NEAR(0.20 + 0.04 + 0.20 + 0.40 + 0.40 + 0.20, t.Of(InstallPhase::Copy), 1e-9);
    EXPECT_NEAR(0.01, t.Of(InstallPhase::Registry), 1e-9);
    EXPECT_NEAR(0.10 + 0.05 + 0.10 + 0.05 + 0.05, t.Of(InstallPhase::Shortcut), 1e-9);
    EXPECT_NEAR(0.50, t.Of(InstallPhase::Delete), 1e-9);
    double sum = 0;
    for (double s : t.seconds) sum += s;
    EXPECT_NEAR(4.15, sum, 1e-9);
    EXPECT_DOUBLE_EQ(4.15, t.total);
}

TEST(InstallPhases, AShortGapBeforeExtractionIsAllPause) {
    const PhaseTotals t =
        SplitIntoPhases({{kValid, 0, 0}, {kValid, 50, 0.1}, {kValid, 90, 0.2}, {kExtract, 100, 0.23}}, 0.3);
    EXPECT_NEAR(0.03, t.Of(InstallPhase::Pause), 1e-9);
    EXPECT_NEAR(0.0, t.Of(InstallPhase::Extract), 1e-9);
    EXPECT_NEAR(0.07, t.Of(InstallPhase::Delete), 1e-9);
}

TEST(InstallPhases, AFailedDecodeOrNoReportsLeaveTheRestToDeletionOrOther) {
    // A payload that does not inflate: the three validation reports, then the working folder goes.
    const PhaseTotals failed = SplitIntoPhases({{kValid, 0, 0.0}, {kValid, 50, 0.4}, {kValid, 90, 0.5}}, 0.6);
    EXPECT_NEAR(0.4, failed.Of(InstallPhase::CopyDecrypt), 1e-9);
    EXPECT_NEAR(0.1, failed.Of(InstallPhase::Inflate), 1e-9);
    EXPECT_NEAR(0.1, failed.Of(InstallPhase::Delete), 1e-9);
    const PhaseTotals none = SplitIntoPhases({}, 0.2);
    EXPECT_NEAR(0.2, none.Of(InstallPhase::Other), 1e-9);
    EXPECT_NEAR(0.0, none.Of(InstallPhase::Delete), 1e-9);
    // Reports out of the known order count as other, never as a known action.
    const PhaseTotals odd = SplitIntoPhases({{kHelp, 50, 0.1}, {kRedist, 50, 0.3}}, 0.3);
    EXPECT_NEAR(0.3, odd.Of(InstallPhase::Other), 1e-9);
}

}  // namespace
