// The benchmark's decode against payloads made by kvnpack's code, its record
// writer on hand-made images, and the check of an installation in a prefix.
#include <sys/stat.h>

#include <algorithm>
#include <fstream>

#include <gtest/gtest.h>

#include "app/product_names.h"
#include "bench/install_check.h"
#include "bench/native_decode.h"
#include "bench/tree_files.h"
#include "bench/tree_plan.h"
#include "tests/native/support/temp_folder.h"
#include "tools/kvnpack/file_io.h"
#include "tools/kvnpack/payload_writer.h"
#include "tools/kvnpack/tree_scan.h"

namespace fs = std::filesystem;

namespace {

TreePlan SmallPlan() {
    TreeShape shape;
    shape.scale = 0.01;
    return PlanSdkTree(shape);
}

// The tree written below folder/tree and packed into folder/payload.bin.
fs::path PackedTree(const fs::path& folder, const TreePlan& plan, bool foreignKey) {
    std::string error;
    EXPECT_TRUE(WriteTree(plan, folder / "tree", error)) << error;
    std::vector<TreeEntry> entries;
    std::vector<uint8_t> image;
    CWBlock container;
    EXPECT_TRUE(ScanTree(folder / "tree", entries, error)) << error;
    EXPECT_TRUE(BuildPackageImage(entries, image, error)) << error;
    EXPECT_TRUE(SealPackageImage(image, foreignKey, container, error)) << error;
    const fs::path payload = folder / "payload.bin";
    EXPECT_TRUE(WriteFileReplacing(payload, container.GetData(), container.GetLength(), error)) << error;
    return payload;
}

// A package image built record by record.
class Image {
public:
    Image() { U32(1); }
    Image& U32(uint32_t v) {
        for (int i = 0; i < 4; ++i) m_bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
        return *this;
    }
    Image& Record(const std::u16string& name, uint32_t attributes, const std::string& content) {
        U32(static_cast<uint32_t>(name.size() * 2));
        for (char16_t c : name) {
            m_bytes.push_back(static_cast<uint8_t>(c));
            m_bytes.push_back(static_cast<uint8_t>(c >> 8));
        }
        U32(attributes).U32(static_cast<uint32_t>(content.size()));
        m_bytes.insert(m_bytes.end(), content.begin(), content.end());
        return *this;
    }
    Image& Raw(size_t zeros) {
        m_bytes.insert(m_bytes.end(), zeros, 0);
        return *this;
    }
    void Into(CWBlock& block) const { block.Append(m_bytes.data(), static_cast<uint32_t>(m_bytes.size())); }

private:
    std::vector<uint8_t> m_bytes;
};

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(NativeDecode, APackedTreeDecodesToTheSameTree) {
    TempFolder folder("decode");
    const TreePlan plan = SmallPlan();
    const fs::path payload = PackedTree(folder.path(), plan, false);
    DecodeTimes times;
    DecodeCounts counts;
    std::string error;
    ASSERT_EQ(0,
              DecodePayloadFile(payload.string(), (folder.path() / "out").string(), &times, &counts, error))
        << error;
    EXPECT_TRUE(CompareTrees(folder.path() / "tree", folder.path() / "out").empty());
    EXPECT_EQ(plan.files.size(), counts.files);
    EXPECT_EQ(plan.folders.size(), counts.folders);
    EXPECT_EQ(Measure(plan).bytes, counts.bytes);
    EXPECT_EQ(0u, counts.refused);
    EXPECT_GT(times.decrypt, 0);
    EXPECT_DOUBLE_EQ(times.read + times.decrypt + times.inflate + times.extract, times.Total());
}

TEST(NativeDecode, APayloadUnderAnotherKeyOrNoPayloadWritesNothing) {
    TempFolder folder("foreign");
    const fs::path payload = PackedTree(folder.path(), SmallPlan(), true);
    std::string error;
    const fs::path out = folder.path() / "out";
    EXPECT_EQ(-3, DecodePayloadFile(payload.string(), out.string(), nullptr, nullptr, error));
    EXPECT_FALSE(fs::exists(out));
    EXPECT_EQ(
        -1, DecodePayloadFile((folder.path() / "none.bin").string(), out.string(), nullptr, nullptr, error));
    std::ofstream(folder.path() / "empty.bin").close();
    EXPECT_EQ(
        -1, DecodePayloadFile((folder.path() / "empty.bin").string(), out.string(), nullptr, nullptr, error));
    EXPECT_FALSE(fs::exists(out));
}

TEST(WriteRecords, WritesFoldersAndFilesAndRefusesWhatTheSetupWouldNot) {
    TempFolder folder("records");
    const fs::path out = folder.path() / "deep" / "out";
    fs::create_directories(out / "old");
    std::ofstream(out / "old" / "f.txt") << "previous contents, longer than the new ones";
    CWBlock block;
    Image()
        .Record(u"docs", 0x10, "")
        .Record(u"docs\\a.txt", 0x20, "alpha")
        .Record(u"..\\escape.txt", 0x20, "out")        // would leave the folder
        .Record(u"docs\\CON.txt", 0x20, "device")      // a device name
        .Record(u"", 0x20, "unnamed")                  // skipped
        .Record(u"missing\\b.txt", 0x20, "no folder")  // no earlier folder record
        .Record(u"old\\f.txt", 0x20, "new")            // replaces the old file
        .Record(u"ro.txt", 0x21, "read-only")
        .Raw(12)  // trailing zeros read as empty records
        .Into(block);
    DecodeCounts counts;
    EXPECT_EQ(0, WriteRecords(block, out.string(), counts));
    EXPECT_EQ("alpha", Read(out / "docs" / "a.txt"));
    EXPECT_EQ("new", Read(out / "old" / "f.txt"));
    EXPECT_EQ("read-only", Read(out / "ro.txt"));
    struct stat info;
    ASSERT_EQ(0, stat((out / "ro.txt").c_str(), &info));
    EXPECT_EQ(0u, info.st_mode & 0222);
    EXPECT_FALSE(fs::exists(folder.path() / "deep" / "escape.txt"));
    EXPECT_FALSE(fs::exists(out / "missing"));
    EXPECT_EQ(1u, counts.folders);
    EXPECT_EQ(3u, counts.files);
    EXPECT_EQ(3u, counts.refused);  // escape, device, the file without its folder
}

TEST(WriteRecords, ARecordPastTheEndStopsWithAFaultAfterTheEarlierOnes) {
    TempFolder folder("cut");
    CWBlock block;
    Image().Record(u"first.txt", 0x20, "one").U32(8).Raw(3).Into(block);  // a name of 8 bytes, 3 there
    DecodeCounts counts;
    EXPECT_EQ(-2, WriteRecords(block, folder.path().string(), counts));
    EXPECT_EQ("one", Read(folder.path() / "first.txt"));
}

// A prefix laid out as Wine lays it out, with an installation copied in by hand.
class InstallCheck : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(WriteTree(SmallPlan(), tree, error)) << error;
        fs::create_directories(prefix / "drive_c" / "users" / "Public");
        fs::create_directories(prefix / "drive_c" / "windows" / "system32");
        std::ofstream(prefix / "drive_c" / "windows" / "system32" / "kernel32.dll") << "system";
        fs::create_directories(prefix / "drive_c" / "users" / "tester" / "AppData" / "Roaming" / "Microsoft" /
                               "Windows" / "Start Menu" / "Programs");
        paths = LocatePrefix(prefix);
        for (const auto& top : fs::directory_iterator(tree)) {
            const fs::path to = InstalledFolderOf(top.path().filename().string(), paths);
            fs::create_directories(to);
            fs::copy(top.path(), to, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        }
        fs::create_directories(paths.menuDir);
        for (const char* link : kExpectedShortcuts) std::ofstream(paths.menuDir / link) << "link";
    }
    TempFolder folder{"install"};
    fs::path tree = folder.path() / "tree";
    fs::path prefix = folder.path() / "prefix";
    PrefixPaths paths;
};

TEST_F(InstallCheck, ACompleteInstallationPassesAndEachDefectIsNamed) {
    EXPECT_EQ(prefix / "drive_c" / "users" / "tester" / "AppData" / "Roaming" / "Microsoft" / "Windows" /
                  "Start Menu" / "Programs" / KVN_NAME_START_MENU_VENDOR_FOLDER /
                  KVN_NAME_START_MENU_PRODUCT_FOLDER,
              paths.menuDir);
    const std::vector<std::string> clean = CheckInstallation(tree, paths);
    EXPECT_TRUE(clean.empty()) << clean.front();

    // The working folder left behind.
    fs::create_directories(paths.installDir / KVN_NAME_WORKING_FOLDER / "Main");
    fs::remove(paths.menuDir / "Help.lnk");
    std::ofstream(paths.menuDir / "Extra.lnk") << "link";
    std::ofstream(paths.installDir / KVN_NAME_DEMO_PROGRAM, std::ios::app) << "x";
    fs::remove(paths.systemDir / "kvnbarcode_rt.dll");
    const std::vector<std::string> problems = CheckInstallation(tree, paths);
    auto has = [&](const std::string& text) {
        return std::any_of(problems.begin(), problems.end(),
                           [&](const std::string& p) { return p.find(text) != std::string::npos; });
    };
    EXPECT_TRUE(has(KVN_NAME_WORKING_FOLDER ": not part of the tree"));
    EXPECT_TRUE(has("shortcut missing: Help.lnk"));
    EXPECT_TRUE(has("shortcut not expected: Extra.lnk"));
    EXPECT_TRUE(has(KVN_NAME_DEMO_PROGRAM ": other bytes"));
    EXPECT_TRUE(has("kvnbarcode_rt.dll: missing"));
    EXPECT_EQ(5u, problems.size());  // _Package once, not once per entry below it
}

TEST_F(InstallCheck, AThirtyTwoBitProgramIsCheckedWhereWow64PutsIt) {
    const PrefixPaths wow = LocatePrefix(prefix, 32);
    EXPECT_EQ(prefix / "drive_c" / "Program Files (x86)" / KVN_NAME_VENDOR_FOLDER / KVN_NAME_PRODUCT_FOLDER,
              wow.installDir);
    EXPECT_EQ(prefix / "drive_c" / "windows" / "syswow64", wow.systemDir);
    EXPECT_EQ(paths.menuDir, wow.menuDir);
    // The 64-bit installation made by SetUp is not where a 32-bit one belongs.
    const std::vector<std::string> problems = CheckInstallation(tree, wow);
    EXPECT_FALSE(problems.empty());
}

TEST_F(InstallCheck, RemovalLeavesOnlyWhatWasThereBefore) {
    RemoveInstallation(tree, paths);
    EXPECT_FALSE(fs::exists(paths.vendorDir));
    EXPECT_FALSE(fs::exists(paths.menuVendorDir));
    EXPECT_FALSE(fs::exists(paths.systemDir / "kvnbarcode_rt.dll"));
    EXPECT_TRUE(fs::exists(paths.systemDir / "kernel32.dll"));
    EXPECT_TRUE(fs::exists(paths.menuVendorDir.parent_path()));
}

}  // namespace
