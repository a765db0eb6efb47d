// kvnpack setup on real stubs linked by mingw-w64 (PE32 and PE32+): what it
// keeps, what it adds, and what objdump reads in the result.
#include <gtest/gtest.h>

#include <regex>

#include "package/payload_resource_names.h"
#include "tests/native/kvnpack/kvnpack_harness.h"
#include "tools/kvnpack/pe_layout.h"
#include "tools/kvnpack/resource_section.h"

namespace {

const std::u16string kType = kPayloadResourceTypeU16;
const std::u16string kPayloadName = kPayloadResourceNameU16;

// "\r\n" line ends and one byte above 127 (the registered sign in 1252).
const std::vector<uint8_t> kAgreement = {'L',  'i',  'c',  'e', 'n', 'c', 'e',  ' ',
                                         0xAE, '\r', '\n', 'E', 'n', 'd', '\r', '\n'};

std::vector<ResourceItem> ResourcesOf(const std::vector<uint8_t>& exe) {
    PeLayout layout;
    std::string error;
    EXPECT_TRUE(ReadPeLayout(exe, layout, error)) << error;
    const PeDirectory& dir = layout.directories[kPeResourceDirectory];
    const PeSection& s = layout.sections[layout.SectionOf(dir.rva)];
    const std::vector<uint8_t> section(exe.begin() + s.rawPointer, exe.begin() + s.rawPointer + s.rawSize);
    std::vector<ResourceItem> items;
    EXPECT_TRUE(ReadResourceSection(section, s.virtualAddress, items, error)) << error;
    return items;
}

const ResourceItem* Find(const std::vector<ResourceItem>& items, const ResourceKey& type,
                         const ResourceKey& name) {
    for (const ResourceItem& item : items)
        if (SameKey(item.type, type) && SameKey(item.name, name)) return &item;
    return nullptr;
}

// One objdump line's hexadecimal field: "SizeOfImage  000b6000".
uint64_t HeaderField(const std::string& headers, const std::string& name) {
    std::smatch m;
    if (!std::regex_search(headers, m, std::regex("\\n" + name + "\\s+([0-9a-fA-F]+)"))) return ~uint64_t(0);
    return std::stoull(m[1], nullptr, 16);
}

struct Made {
    TempFolder work;
    fs::path setup, payload;
};

// A small tree, its payload packed alone, and a setup from the stub.
void MakeSetup(const TestStub& stub, Made& made) {
    MakeRandomTree(made.work / "sdk", 7, 30, 5000);
    WriteBytes(made.work / "licence.txt", kAgreement);
    made.payload = made.work / "payload.bin";
    made.setup = made.work / "out/Setup.exe";
    fs::create_directories(made.setup.parent_path());
    ASSERT_EQ(0, Kvnpack({"pack", (made.work / "sdk").string(), "-o", made.payload.string()}).status);
    const RunResult run =
        Kvnpack({"setup", (made.work / "sdk").string(), "--agreement", (made.work / "licence.txt").string(),
                 "--stub", stub.file.string(), "-o", made.setup.string()});
    ASSERT_EQ(0, run.status) << run.err;
}

TEST(Setup, TestStubsWereBuilt) {
    EXPECT_EQ(2u, TestStubs().size())
        << "mingw-w64 gcc, windres and objdump for i686 and x86_64 (scripts/bootstrap)";
}

TEST(Setup, KeepsEveryResourceOfTheStubAndAddsPayloadAndAgreement) {
    for (const TestStub& stub : TestStubs()) {
        SCOPED_TRACE(stub.file.string());
        Made made;
        MakeSetup(stub, made);
        const std::vector<ResourceItem> before = ResourcesOf(ReadBytes(stub.file));
        const std::vector<ResourceItem> after = ResourcesOf(ReadBytes(made.setup));
        // The linker's resources as windres wrote them, read back whole.
        ASSERT_TRUE(Find(before, ResourceKey::Id(6), ResourceKey::Id(1)));    // strings 0-15
        ASSERT_TRUE(Find(before, ResourceKey::Id(5), ResourceKey::Id(100)));  // dialog
        ASSERT_TRUE(Find(before, ResourceKey::Id(24), ResourceKey::Id(1)));   // manifest
        ASSERT_TRUE(Find(before, ResourceKey::Id(16), ResourceKey::Id(1)));   // version
        const ResourceItem* alpha = Find(before, ResourceKey::Name(u"KVNTEST"), ResourceKey::Name(u"ALPHA"));
        ASSERT_TRUE(alpha);
        EXPECT_EQ("first named entry", std::string(alpha->data.begin(), alpha->data.end()));

        ASSERT_EQ(before.size() + 2, after.size());
        for (const ResourceItem& item : before) {
            const ResourceItem* kept = Find(after, item.type, item.name);
            ASSERT_TRUE(kept);
            EXPECT_TRUE(SameKey(item.language, kept->language));
            EXPECT_EQ(item.codePage, kept->codePage);
            EXPECT_EQ(item.data, kept->data);
        }
        const ResourceItem* payload = Find(after, ResourceKey::Name(kType), ResourceKey::Name(kPayloadName));
        const ResourceItem* agreement =
            Find(after, ResourceKey::Name(kType), ResourceKey::Name(kAgreementResourceNameU16));
        ASSERT_TRUE(payload && agreement);
        EXPECT_EQ(ReadBytes(made.payload), payload->data) << "the payload that pack writes, byte for byte";
        EXPECT_EQ(kAgreement, agreement->data);
        EXPECT_TRUE(SameKey(ResourceKey::Id(1033), payload->language));
        EXPECT_TRUE(SameKey(ResourceKey::Id(1033), agreement->language));
    }
}

TEST(Setup, ObjdumpReadsHeadersImportsAndRelocationsWhereTheyAre) {
    for (const TestStub& stub : TestStubs()) {
        SCOPED_TRACE(stub.file.string());
        Made made;
        MakeSetup(stub, made);
        const RunResult stubHeaders = RunShell(stub.objdump + " -p '" + stub.file.string() + "'");
        const RunResult headers = RunShell(stub.objdump + " -p '" + made.setup.string() + "'");
        const RunResult sections = RunShell(stub.objdump + " -h '" + made.setup.string() + "'");
        ASSERT_EQ(0, headers.status) << headers.out;
        ASSERT_EQ(0, sections.status);

        // Resource directory entry = the .rsrc section; relocations follow it.
        std::smatch rsrc, reloc, entry;
        const std::regex row(
            "\\n\\s*\\d+ (\\.\\w+)\\s+([0-9a-f]+)\\s+([0-9a-f]+)\\s+[0-9a-f]+\\s+([0-9a-f]+)");
        std::vector<std::vector<uint64_t>> table;  // size, vma, file offset
        std::vector<std::string> names;
        for (auto it = std::sregex_iterator(sections.out.begin(), sections.out.end(), row);
             it != std::sregex_iterator(); ++it) {
            names.push_back((*it)[1]);
            table.push_back({std::stoull((*it)[2], nullptr, 16), std::stoull((*it)[3], nullptr, 16),
                             std::stoull((*it)[4], nullptr, 16)});
        }
        ASSERT_GE(names.size(), 3u);
        ASSERT_EQ(".reloc", names.back());
        ASSERT_EQ(".rsrc", names[names.size() - 2]);
        const uint64_t imageBase = HeaderField(headers.out, "ImageBase");
        ASSERT_TRUE(std::regex_search(headers.out, entry,
                                      std::regex("Entry 2 ([0-9a-f]+) ([0-9a-f]+) Resource Directory")));
        EXPECT_EQ(table[names.size() - 2][1] - imageBase, std::stoull(entry[1], nullptr, 16));
        EXPECT_EQ(table[names.size() - 2][0], std::stoull(entry[2], nullptr, 16));
        ASSERT_TRUE(std::regex_search(headers.out, entry,
                                      std::regex("Entry 5 ([0-9a-f]+) ([0-9a-f]+) Base Relocation")));
        EXPECT_EQ(table.back()[1] - imageBase, std::stoull(entry[1], nullptr, 16));
        // The image ends with the relocations, on a section boundary.
        const uint64_t alignment = HeaderField(headers.out, "SectionAlignment");
        EXPECT_EQ((table.back()[1] - imageBase + table.back()[0] + alignment - 1) / alignment * alignment,
                  HeaderField(headers.out, "SizeOfImage"));

        // Imports and relocation blocks read the same as in the stub.
        const auto part = [](const std::string& text, const std::string& from, const std::string& to) {
            const size_t a = text.find(from);
            const size_t b = text.find(to, a == std::string::npos ? 0 : a);
            return a == std::string::npos
                       ? std::string()
                       : text.substr(a, b == std::string::npos ? std::string::npos : b - a);
        };
        const std::string imports = part(headers.out, "DLL Name", "PE File Base Relocations");
        EXPECT_NE(std::string::npos, imports.find("DLL Name: KERNEL32.dll"));
        EXPECT_EQ(part(stubHeaders.out, "DLL Name", "PE File Base Relocations"), imports);
        const std::string relocations = part(headers.out, "PE File Base Relocations", "The .rsrc");
        EXPECT_NE(std::string::npos, relocations.find("Virtual Address:"));
        EXPECT_EQ(part(stubHeaders.out, "PE File Base Relocations", "The .rsrc"), relocations);

        // The checksum is the one the linker's method gives (checked on the
        // stub, whose field ld wrote).
        const std::vector<uint8_t> stubBytes = ReadBytes(stub.file), setupBytes = ReadBytes(made.setup);
        PeLayout layout;
        std::string error;
        ASSERT_TRUE(ReadPeLayout(stubBytes, layout, error));
        EXPECT_EQ(HeaderField(stubHeaders.out, "CheckSum"), PeChecksum(stubBytes, layout.CheckSumAt()));
        EXPECT_EQ(HeaderField(headers.out, "CheckSum"), PeChecksum(setupBytes, layout.CheckSumAt()));
        EXPECT_NE(HeaderField(stubHeaders.out, "CheckSum"), HeaderField(headers.out, "CheckSum"));
    }
}

TEST(Setup, SameInputsGiveTheSameBytesFolderOrPayload) {
    for (const TestStub& stub : TestStubs()) {
        Made made;
        MakeSetup(stub, made);
        const fs::path again = made.work / "again.exe", fromPayload = made.work / "payload.exe";
        ASSERT_EQ(0, Kvnpack({"setup", (made.work / "sdk").string(), "--agreement",
                              (made.work / "licence.txt").string(), "--stub", stub.file.string(), "-o",
                              again.string()})
                         .status);
        ASSERT_EQ(0, Kvnpack({"setup", "--payload", made.payload.string(), "--agreement",
                              (made.work / "licence.txt").string(), "--stub", stub.file.string(), "-o",
                              fromPayload.string()})
                         .status);
        EXPECT_EQ(ReadBytes(made.setup), ReadBytes(again));
        EXPECT_EQ(ReadBytes(made.setup), ReadBytes(fromPayload));
    }
}

TEST(Setup, WithoutAgreementOnlyThePayloadIsAdded) {
    for (const TestStub& stub : TestStubs()) {
        TempFolder work;
        fs::create_directories(work / "sdk/Main");
        const RunResult run = Kvnpack({"setup", (work / "sdk").string(), "--stub", stub.file.string(), "-o",
                                       (work / "s.exe").string()});
        ASSERT_EQ(0, run.status) << run.err;
        const std::vector<ResourceItem> after = ResourcesOf(ReadBytes(work / "s.exe"));
        EXPECT_EQ(ResourcesOf(ReadBytes(stub.file)).size() + 1, after.size());
        EXPECT_FALSE(Find(after, ResourceKey::Name(kType), ResourceKey::Name(kAgreementResourceNameU16)));
    }
}

TEST(Setup, FindsTheStubInstalledBesideKvnpackOrInShare) {
    ASSERT_FALSE(TestStubs().empty());
    TempFolder prefix;
    fs::create_directories(prefix / "bin");
    fs::create_directories(prefix / "sdk/Main");
    fs::copy_file(KVNPACK_PATH, prefix / "bin/kvnpack");
    const std::string tool = (prefix / "bin/kvnpack").string();
    const std::string sdk = (prefix / "sdk").string(), out = (prefix / "Setup.exe").string();

    RunResult none = RunShell("'" + tool + "' setup '" + sdk + "' -o '" + out + "' 2>&1");
    EXPECT_EQ(1, none.status);
    EXPECT_NE(std::string::npos, none.out.find((prefix / "share/kvnpack/KVNBarcodeSetup-stub.exe").string()))
        << none.out;
    EXPECT_FALSE(fs::exists(out));

    fs::create_directories(prefix / "share/kvnpack");
    fs::copy_file(TestStubs()[0].file, prefix / "share/kvnpack/KVNBarcodeSetup-stub.exe");
    EXPECT_EQ(0, RunShell("'" + tool + "' setup '" + sdk + "' -o '" + out + "'").status);
    EXPECT_TRUE(fs::exists(out));

    // One beside the program comes first.
    fs::copy_file(TestStubs().back().file, prefix / "bin/KVNBarcodeSetup-stub.exe");
    EXPECT_EQ(0, RunShell("'" + tool + "' setup '" + sdk + "' -o '" + out + "'").status);
    EXPECT_EQ(ResourcesOf(ReadBytes(TestStubs().back().file)).size() + 1, ResourcesOf(ReadBytes(out)).size());
    PeLayout a, b;
    std::string error;
    ASSERT_TRUE(ReadPeLayout(ReadBytes(out), a, error) &&
                ReadPeLayout(ReadBytes(TestStubs().back().file), b, error));
    EXPECT_EQ(b.plus, a.plus);
}

TEST(KvnpackHelp, ShowsSetupFirstAndTheVersion) {
    const RunResult help = Kvnpack({"--help"});
    EXPECT_EQ(0, help.status);
    const size_t setup = help.out.find("kvnpack setup");
    EXPECT_NE(std::string::npos, setup);
    EXPECT_LT(setup, help.out.find("kvnpack pack"));
    for (const char* word : {"--stub", "--payload", "--version", "sign"})
        EXPECT_NE(std::string::npos, help.out.find(word)) << word;
    const RunResult version = Kvnpack({"--version"});
    EXPECT_EQ(0, version.status);
    EXPECT_TRUE(std::regex_match(version.out, std::regex("kvnpack \\d+\\.\\d+\\.\\d+(\\.\\d+)?\\n")))
        << version.out;
}

}  // namespace
