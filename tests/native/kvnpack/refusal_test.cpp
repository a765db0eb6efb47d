#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "tests/native/kvnpack/kvnpack_harness.h"

namespace {

const std::vector<uint8_t> kGoodOutput = {'G', 'O', 'O', 'D'};

// Packs root onto an output that already holds good bytes: the refusal must
// exit 1, name the offending path and leave the old output and no temporary.
void ExpectRefused(const TempFolder& work, const std::string& offending, const std::string& reason = "") {
    const fs::path output = work / "out/payload.bin";
    fs::create_directories(output.parent_path());
    WriteBytes(output, kGoodOutput);
    const RunResult run = Kvnpack({"pack", (work / "sdk").string(), "-o", output.string()});
    EXPECT_EQ(1, run.status) << run.err;
    EXPECT_NE(std::string::npos, run.err.find(offending)) << "message: " << run.err;
    if (!reason.empty()) {
        EXPECT_NE(std::string::npos, run.err.find(reason)) << "message: " << run.err;
    }
    EXPECT_EQ(kGoodOutput, ReadBytes(output));
    EXPECT_EQ(1, std::distance(fs::directory_iterator(output.parent_path()), fs::directory_iterator()))
        << "a temporary file was left beside the output";
}

void Accepted(const TempFolder& work) {
    const RunResult run = Kvnpack({"pack", (work / "sdk").string(), "-o", (work / "ok.bin").string()});
    EXPECT_EQ(0, run.status) << run.err;
}

TEST(PackRefuses, NamesLongerThanTheSetupKeeps) {
    TempFolder work;
    const std::string outer(200, 'a'), inner(59, 'b');
    fs::create_directories(work / ("sdk/" + outer));
    WriteBytes(work / ("sdk/" + outer + "/" + inner), {1});  // 260 units
    ExpectRefused(work, inner, "longer than 259");
}

TEST(PackRefuses, NamesThatDoNotFitUnderTheWorkingFolder) {
    // The working folder "C:\Program Files (x86)\Korvane\KVNBarcodeSDK\_Package\"
    // is 54 units: names up to 205 units fit in 260 with the terminating zero.
    TempFolder work;
    fs::create_directories(work / ("sdk/" + std::string(150, 'a')));
    WriteBytes(work / ("sdk/" + std::string(150, 'a') + "/" + std::string(54, 'b')), {1});  // 205
    Accepted(work);
    WriteBytes(work / ("sdk/" + std::string(150, 'a') + "/" + std::string(55, 'c')), {1});  // 206
    ExpectRefused(work, std::string(55, 'c'), "working folder");
}

TEST(PackRefuses, NamesThatDifferOnlyInLetterCase) {
    for (const auto& pair :
         std::vector<std::pair<std::string, std::string>>{{"Readme.txt", "README.TXT"},
                                                          {"dir/x", "DIR/y"},
                                                          {"\xC3\xA9t\xC3\xA9", "\xC3\x89T\xC3\x89"},
                                                          {"\xD0\xB4\xD0\xB0", "\xD0\x94\xD0\x90"}}) {
        TempFolder work;
        for (const std::string& name : {pair.first, pair.second}) {
            fs::create_directories((work / ("sdk/" + name)).parent_path());
            WriteBytes(work / ("sdk/" + name), {1});
        }
        ExpectRefused(work, "letter case");
    }
    // Different letters are fine.
    TempFolder work;
    fs::create_directories(work / "sdk");
    WriteBytes(work / "sdk/\xC3\xA9", {1});
    WriteBytes(work / "sdk/e", {1});
    Accepted(work);
}

TEST(PackRefuses, FilesAndImagesOf4GiB) {
    TempFolder work;
    fs::create_directories(work / "sdk");
    WriteBytes(work / "sdk/huge.bin", {});
    fs::resize_file(work / "sdk/huge.bin", uint64_t(1) << 32);  // sparse: costs no space
    ExpectRefused(work, "huge.bin", "4 GiB");

    TempFolder two;
    fs::create_directories(two / "sdk");
    for (const char* name : {"part1.bin", "part2.bin"}) {
        WriteBytes(two / "sdk" / name, {});
        fs::resize_file(two / "sdk" / name, (uint64_t(1) << 31) + 1);
    }
    ExpectRefused(two, "package image");
}

TEST(PackRefuses, SymbolicLinksWithoutFollowingThem) {
    TempFolder work;
    fs::create_directories(work / "sdk/real");
    WriteBytes(work / "outside.txt", {1});
    fs::create_symlink(work / "outside.txt", work / "sdk/link-to-file");
    ExpectRefused(work, "link-to-file", "symbolic link");

    TempFolder folder;
    fs::create_directories(folder / "sdk");
    fs::create_directory_symlink("/etc", folder / "sdk/etc-link");
    ExpectRefused(folder, "etc-link", "symbolic link");
}

TEST(PackRefuses, SpecialFiles) {
    TempFolder work;
    fs::create_directories(work / "sdk");
    ASSERT_EQ(0, mkfifo((work / "sdk/pipe").c_str(), 0600));
    ExpectRefused(work, "pipe");
}

TEST(PackRefuses, NamesTheSetupOrWindowsRefuses) {
    for (const std::string name : {"CON", "aux.txt", "Main/nul.dll", "lpt1", "stream:x", "back\\slash",
                                   "dot.", "space ", "what?", "a<b", "tab\there", "\xFF\xFEnot-utf8"}) {
        TempFolder work;
        fs::create_directories((work / ("sdk/" + name)).parent_path());
        WriteBytes(work / ("sdk/" + name), {1});
        ExpectRefused(work, name.substr(name.rfind('/') == std::string::npos ? 0 : name.rfind('/') + 1));
    }
}

TEST(PackRefuses, BadFoldersAndCommandLines) {
    TempFolder work;
    EXPECT_EQ(1, Kvnpack({"pack", (work / "missing").string(), "-o", (work / "p.bin").string()}).status);
    WriteBytes(work / "file", {1});
    EXPECT_EQ(1, Kvnpack({"pack", (work / "file").string(), "-o", (work / "p.bin").string()}).status);
    fs::create_directories(work / "sdk");
    const RunResult noDir =
        Kvnpack({"pack", (work / "sdk").string(), "-o", (work / "no/such/dir/p.bin").string()});
    EXPECT_EQ(1, noDir.status);
    EXPECT_FALSE(fs::exists(work / "p.bin"));

    EXPECT_EQ(2, Kvnpack({"pack", (work / "sdk").string()}).status) << "no -o";
    EXPECT_EQ(2, Kvnpack({"pack", "-o"}).status);
    EXPECT_EQ(2, Kvnpack({}).status);
    EXPECT_EQ(2, Kvnpack({"frobnicate"}).status);
    EXPECT_EQ(2, Kvnpack({"pack", (work / "sdk").string(), "-o", "x", "--bogus"}).status);
    EXPECT_EQ(2, Kvnpack({"list", "x", "--test-foreign-key"}).status);
}

TEST(KvnpackHelp, NamesEveryCommandAndTheTestOption) {
    const RunResult run = Kvnpack({"--help"});
    EXPECT_EQ(0, run.status);
    for (const char* word :
         {"pack", "res", "list", "extract", "--agreement", "--test-foreign-key", "for tests"})
        EXPECT_NE(std::string::npos, run.out.find(word)) << word;
}

}  // namespace
