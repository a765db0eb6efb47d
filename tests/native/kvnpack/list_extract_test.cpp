#include <gtest/gtest.h>

#include <sys/stat.h>

#include "tests/native/kvnpack/kvnpack_harness.h"
#include "tools/kvnpack/payload_writer.h"

namespace {

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void PutRecord(std::vector<uint8_t>& out, const std::u16string& name, uint32_t attributes,
               const std::vector<uint8_t>& content) {
    PutU32(out, static_cast<uint32_t>(name.size() * 2));
    for (char16_t c : name) {
        out.push_back(static_cast<uint8_t>(c));
        out.push_back(static_cast<uint8_t>(c >> 8));
    }
    PutU32(out, attributes);
    PutU32(out, static_cast<uint32_t>(content.size()));
    out.insert(out.end(), content.begin(), content.end());
}

// A payload of a hand-made image, sealed as kvnpack seals its own.
void WriteSealed(const fs::path& path, const std::vector<uint8_t>& image) {
    CWBlock container;
    std::string error;
    ASSERT_TRUE(SealPackageImage(image, false, container, error)) << error;
    WriteBytes(path, std::vector<uint8_t>(container.GetData(), container.GetData() + container.GetLength()));
}

class ListAndExtract : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(work / "sdk/Main/Bin");
        fs::create_directories(work / "sdk/Empty");
        WriteBytes(work / "sdk/Main/readme.txt", {'h', 'i'});
        WriteBytes(work / "sdk/Main/Bin/tool.dll", RandomBytes(70000, 3));
        fs::permissions(work / "sdk/Main/Bin/tool.dll",
                        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
        ASSERT_EQ(0, Kvnpack({"pack", (work / "sdk").string(), "-o", (work / "p.bin").string()}).status);
    }
    TempFolder work;
};

TEST_F(ListAndExtract, ListShowsKindAttributesSizeAndName) {
    const RunResult run = Kvnpack({"list", (work / "p.bin").string()});
    ASSERT_EQ(0, run.status) << run.err;
    EXPECT_EQ(
        "folder 0x00000010          0  Empty\n"
        "folder 0x00000010          0  Main\n"
        "folder 0x00000010          0  Main\\Bin\n"
        "file   0x00000021      70000  Main\\Bin\\tool.dll\n"
        "file   0x00000020          2  Main\\readme.txt\n"
        "3 folders, 2 files, 70002 bytes\n",
        run.out);
}

TEST_F(ListAndExtract, ForeignDamagedOrTruncatedPayloadsExitOneWithAMessage) {
    ASSERT_EQ(
        0, Kvnpack({"pack", (work / "sdk").string(), "-o", (work / "f.bin").string(), "--test-foreign-key"})
               .status);
    RunResult run = Kvnpack({"list", (work / "f.bin").string()});
    EXPECT_EQ(1, run.status);
    EXPECT_NE(std::string::npos, run.err.find("another key")) << run.err;
    EXPECT_TRUE(run.out.empty());

    std::vector<uint8_t> payload = ReadBytes(work / "p.bin");
    std::vector<uint8_t> damaged = payload;
    damaged[damaged.size() / 2] ^= 0x01;
    WriteBytes(work / "damaged.bin", damaged);
    std::vector<uint8_t> cut(payload.begin(), payload.end() - 32);
    WriteBytes(work / "cut.bin", cut);
    std::vector<uint8_t> trailer = payload;
    trailer[trailer.size() - 1] = 0x7F;  // a length beyond the container
    WriteBytes(work / "trailer.bin", trailer);
    WriteBytes(work / "empty.bin", {});
    for (const char* name : {"damaged.bin", "cut.bin", "trailer.bin", "empty.bin", "missing.bin"}) {
        run = Kvnpack({"list", (work / name).string()});
        EXPECT_EQ(1, run.status) << name;
        EXPECT_NE(std::string::npos, run.err.find("kvnpack: ")) << name;
        run = Kvnpack({"extract", (work / name).string(), (work / "x").string()});
        EXPECT_EQ(1, run.status) << name;
        EXPECT_FALSE(fs::exists(work / "x")) << name << ": nothing is written for a bad payload";
    }
}

TEST_F(ListAndExtract, ExtractWritesTheSameTree) {
    const RunResult run = Kvnpack({"extract", (work / "p.bin").string(), (work / "out").string()});
    ASSERT_EQ(0, run.status) << run.err;
    const TreeMap source = DescribeTree(work / "sdk"), copy = DescribeTree(work / "out");
    ASSERT_EQ(source.size(), copy.size());
    for (const auto& [name, item] : source) {
        ASSERT_TRUE(copy.count(name)) << name;
        EXPECT_EQ(item.folder, copy.at(name).folder) << name;
        EXPECT_EQ(item.readOnly, copy.at(name).readOnly) << name;
        EXPECT_TRUE(item.bytes == copy.at(name).bytes) << name;
    }
    // Again over the existing tree: files are replaced, read-only ones too.
    EXPECT_EQ(0, Kvnpack({"extract", (work / "p.bin").string(), (work / "out").string()}).status);
}

TEST_F(ListAndExtract, ExtractSkipsHostileNamesAndDoesNotFollowLinks) {
    std::vector<uint8_t> image;
    PutU32(image, 1);
    PutRecord(image, u"..\\escaped.txt", 0x20, {1});
    PutRecord(image, u"/abs.txt", 0x20, {1});
    PutRecord(image, u"CON", 0x20, {1});
    PutRecord(image, u"ok", 0x10, {});
    PutRecord(image, u"ok\\a..b", 0x20, {7});
    PutRecord(image, u"ok\\\\sep.txt", 0x20, {9});  // a doubled separator: the setup writes ok\sep.txt
    PutRecord(image, u"link\\via.txt", 0x20, {1});
    PutRecord(image, u"orphan\\f.txt", 0x20, {1});
    WriteSealed(work / "hostile.bin", image);

    const RunResult listing = Kvnpack({"list", (work / "hostile.bin").string()});
    EXPECT_EQ(0, listing.status);
    EXPECT_NE(std::string::npos, listing.out.find("..\\escaped.txt  (the setup does not write this name)"));
    EXPECT_NE(std::string::npos, listing.out.find("ok\\sep.txt\n")) << listing.out;

    fs::create_directories(work / "out");
    fs::create_directories(work / "elsewhere");
    fs::create_directory_symlink(work / "elsewhere", work / "out/link");
    const RunResult run = Kvnpack({"extract", (work / "hostile.bin").string(), (work / "out").string()});
    EXPECT_EQ(1, run.status) << "records were left out";
    EXPECT_FALSE(fs::exists(work / "escaped.txt"));
    EXPECT_FALSE(fs::exists("/abs.txt"));
    EXPECT_FALSE(fs::exists(work / "elsewhere/via.txt"));
    EXPECT_FALSE(fs::exists(work / "out/orphan"));
    EXPECT_EQ((std::vector<uint8_t>{7}), ReadBytes(work / "out/ok/a..b"));
    EXPECT_EQ((std::vector<uint8_t>{9}), ReadBytes(work / "out/ok/sep.txt"));
    for (const char* name : {"escaped.txt", "abs.txt", "CON", "via.txt", "orphan"})
        EXPECT_NE(std::string::npos, run.err.find(name)) << name << " not named in: " << run.err;
}

TEST_F(ListAndExtract, RecordsPastTheEndAreReportedBeforeAnythingIsWritten) {
    std::vector<uint8_t> image;
    PutU32(image, 1);
    PutRecord(image, u"first.txt", 0x20, {1, 2});
    PutU32(image, 2);
    image.push_back('x');  // the second name is cut
    WriteSealed(work / "cut.bin", image);
    const RunResult run = Kvnpack({"extract", (work / "cut.bin").string(), (work / "out").string()});
    EXPECT_EQ(1, run.status);
    EXPECT_NE(std::string::npos, run.err.find("past the end")) << run.err;
    EXPECT_FALSE(fs::exists(work / "out/first.txt"));
    EXPECT_EQ(1, Kvnpack({"list", (work / "cut.bin").string()}).status);
}

}  // namespace
