#include <gtest/gtest.h>

#include <cstdlib>

#include "package/payload_resource_names.h"
#include "tests/native/kvnpack/kvnpack_harness.h"

namespace {

// The names every setup looks up, spelled out here on purpose instead of
// taken from package/payload_resource_names.h: the oracle that the header
// and what kvnpack writes are checked against.
#define ORACLE_TYPE "{61C38F02-7412}"
#define ORACLE_PAYLOAD "{8D4F2B16-C05A-4E93-A7B1-3F6E92D0C845}"
#define ORACLE_AGREEMENT "AGREEMENT"

TEST(ResourceNames, AreTheNamesEverySetupLooksUp) {
    EXPECT_EQ(std::u16string(u"" ORACLE_TYPE), kPayloadResourceTypeU16);
    EXPECT_EQ(std::u16string(u"" ORACLE_PAYLOAD), kPayloadResourceNameU16);
    EXPECT_EQ(std::u16string(u"" ORACLE_AGREEMENT), kAgreementResourceNameU16);
    EXPECT_EQ(std::wstring(L"" ORACLE_TYPE), kPayloadResourceType);
    EXPECT_EQ(std::wstring(L"" ORACLE_PAYLOAD), kPayloadResourceName);
    EXPECT_EQ(std::wstring(L"" ORACLE_AGREEMENT), kAgreementResourceName);
}

struct ParsedResource {
    std::u16string type, name;
    uint16_t flags = 0, language = 0;
    std::vector<uint8_t> data;
};

uint32_t U32At(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
uint16_t U16At(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

// Reads a .res file strictly; any structural fault fails the test.
std::vector<ParsedResource> ParseRes(const std::vector<uint8_t>& res) {
    std::vector<ParsedResource> out;
    const std::vector<uint8_t> header = {0, 0, 0, 0, 0x20, 0, 0, 0, 0xFF, 0xFF, 0, 0, 0xFF, 0xFF, 0, 0,
                                         0, 0, 0, 0, 0,    0, 0, 0, 0,    0,    0, 0, 0,    0,    0, 0};
    EXPECT_TRUE(res.size() >= 32 && std::equal(header.begin(), header.end(), res.begin()))
        << "empty header entry";
    size_t at = 32;
    while (at < res.size()) {
        EXPECT_EQ(0u, at % 4) << "entries start on a DWORD boundary";
        if (at + 8 > res.size()) {
            ADD_FAILURE() << "cut entry";
            break;
        }
        const uint32_t dataSize = U32At(res, at), headerSize = U32At(res, at + 4);
        EXPECT_EQ(0u, headerSize % 4);
        if (at + headerSize + dataSize > res.size()) {
            ADD_FAILURE() << "entry runs past the end";
            break;
        }
        ParsedResource r;
        size_t p = at + 8;
        for (std::u16string* s : {&r.type, &r.name}) {
            EXPECT_NE(0xFFFF, U16At(res, p)) << "stored as a string, not an ordinal";
            while (U16At(res, p) != 0) {
                *s += static_cast<char16_t>(U16At(res, p));
                p += 2;
            }
            p += 2;
        }
        p = (p + 3) / 4 * 4;
        EXPECT_EQ(at + headerSize - 16, p) << "header size covers the identifiers and the fixed part";
        r.flags = U16At(res, p + 4);
        r.language = U16At(res, p + 6);
        r.data.assign(res.begin() + at + headerSize, res.begin() + at + headerSize + dataSize);
        out.push_back(r);
        at = (at + headerSize + dataSize + 3) / 4 * 4;
    }
    EXPECT_EQ(res.size(), at) << "padded to a DWORD at the end";
    return out;
}

class ResFile : public ::testing::Test {
protected:
    void SetUp() override {
        MakeRandomTree(work / "sdk", 21, 10, 3000);
        ASSERT_EQ(0, Kvnpack({"pack", (work / "sdk").string(), "-o", (work / "p.bin").string()}).status);
        agreement = {'L', 'i', 'c', 0xAE, '\r', '\n', 'x'};  // odd length, a byte above 127
        WriteBytes(work / "agreement.txt", agreement);
    }
    TempFolder work;
    std::vector<uint8_t> agreement;
};

TEST_F(ResFile, HoldsThePayloadAndTheAgreementUnderTheSetupsNames) {
    const RunResult run = Kvnpack({"res", "--payload", (work / "p.bin").string(), "--agreement",
                                   (work / "agreement.txt").string(), "-o", (work / "p.res").string()});
    ASSERT_EQ(0, run.status) << run.err;
    const auto resources = ParseRes(ReadBytes(work / "p.res"));
    ASSERT_EQ(2u, resources.size());
    EXPECT_EQ(u"" ORACLE_TYPE, resources[0].type);
    EXPECT_EQ(u"" ORACLE_PAYLOAD, resources[0].name);
    EXPECT_TRUE(ReadBytes(work / "p.bin") == resources[0].data);
    EXPECT_EQ(u"" ORACLE_TYPE, resources[1].type);
    EXPECT_EQ(u"" ORACLE_AGREEMENT, resources[1].name);
    EXPECT_EQ(agreement, resources[1].data) << "stored as it stands, no terminating zero";
    for (const auto& r : resources) EXPECT_EQ(1033, r.language);
}

TEST_F(ResFile, AgreementIsOptional) {
    ASSERT_EQ(
        0, Kvnpack({"res", "--payload", (work / "p.bin").string(), "-o", (work / "p.res").string()}).status);
    EXPECT_EQ(1u, ParseRes(ReadBytes(work / "p.res")).size());
}

TEST_F(ResFile, RefusesWhatIsNoPayloadAndKeepsTheOldOutput) {
    WriteBytes(work / "p.res", {'o', 'l', 'd'});
    WriteBytes(work / "text.txt", std::vector<uint8_t>(101, 'x'));
    WriteBytes(work / "text100.txt", std::vector<uint8_t>(100, 'x'));  // a container's size, no trailer
    for (const fs::path& bad :
         {work / "text.txt", work / "text100.txt", work / "missing.bin", work / "sdk"}) {
        const RunResult run = Kvnpack({"res", "--payload", bad.string(), "-o", (work / "p.res").string()});
        EXPECT_EQ(1, run.status) << bad;
        EXPECT_EQ((std::vector<uint8_t>{'o', 'l', 'd'}), ReadBytes(work / "p.res"));
    }
    EXPECT_EQ(1, Kvnpack({"res", "--payload", (work / "p.bin").string(), "--agreement",
                          (work / "nope").string(), "-o", (work / "p.res").string()})
                     .status);
    EXPECT_EQ(2, Kvnpack({"res", "-o", (work / "p.res").string()}).status);
    EXPECT_EQ((std::vector<uint8_t>{'o', 'l', 'd'}), ReadBytes(work / "p.res"));
}

TEST_F(ResFile, TheResourceCompilerTurnsItIntoAnObject) {
    const std::string windres = KVN_WINDRES_PATH;
    if (windres.empty()) GTEST_SKIP() << "no i686-w64-mingw32-windres";
    ASSERT_EQ(0, Kvnpack({"res", "--payload", (work / "p.bin").string(), "--agreement",
                          (work / "agreement.txt").string(), "-o", (work / "p.res").string()})
                     .status);
    const std::string compile =
        windres + " -J res -O coff -i " + (work / "p.res").string() + " -o " + (work / "p.o").string();
    ASSERT_EQ(0, std::system(compile.c_str()));
    // Read back as a script: both names and the type, as given.
    const std::string dump =
        windres + " -J res -O rc -i " + (work / "p.res").string() + " -o " + (work / "p.rc").string();
    ASSERT_EQ(0, std::system(dump.c_str()));
    const std::vector<uint8_t> script = ReadBytes(work / "p.rc");
    const std::string text(script.begin(), script.end());
    EXPECT_NE(std::string::npos, text.find("\"" ORACLE_PAYLOAD "\" \"" ORACLE_TYPE "\""));
    EXPECT_NE(std::string::npos, text.find("\"" ORACLE_AGREEMENT "\" \"" ORACLE_TYPE "\""));
}

}  // namespace
