// kvnpack setup refuses bad stubs, folders and licence texts: exit 1, a
// message that says why, and the output that was there stays untouched.
#include <gtest/gtest.h>

#include "tests/native/kvnpack/kvnpack_harness.h"
#include "tools/kvnpack/le_bytes.h"
#include "tools/kvnpack/pe_layout.h"

namespace {

struct SetupWork {
    TempFolder work;
    fs::path stub;
    SetupWork() {
        fs::create_directories(work / "sdk/Main");
        WriteBytes(work / "sdk/Main/a.txt", {'a'});
        WriteBytes(work / "licence.txt", {'O', 'K', '\r', '\n'});
        if (!TestStubs().empty()) stub = TestStubs()[0].file;
    }
    void Refused(const fs::path& stubFile, const std::string& fragment,
                 const std::string& agreement = "licence.txt", const std::string& folder = "sdk") {
        ExpectRefusedKeepingOutput({"setup", (work / folder).string(), "--agreement",
                                    (work / agreement).string(), "--stub", stubFile.string()},
                                   work / "out/Setup.exe", fragment);
    }
};

TEST(SetupRefuses, StubsThatAreNotWholeUnsignedStubs) {
    for (const TestStub& test : TestStubs()) {
        SCOPED_TRACE(test.file.string());
        SetupWork w;
        const std::vector<uint8_t> stub = ReadBytes(test.file);
        WriteBytes(w.work / "text.exe", {'h', 'e', 'l', 'l', 'o'});
        w.Refused(w.work / "text.exe", "not a PE file");
        w.Refused(w.work / "missing.exe", "missing.exe");

        // Cut in the DOS header, the PE headers, the section table, a
        // section's data and the last byte.
        for (size_t size : {size_t(40), size_t(0x90), size_t(0x1A0), stub.size() / 2, stub.size() - 1}) {
            WriteBytes(w.work / "cut.exe", std::vector<uint8_t>(stub.begin(), stub.begin() + size));
            w.Refused(w.work / "cut.exe", "truncated");
        }

        // A signature's certificate table (the security directory).
        PeLayout layout;
        std::string error;
        ASSERT_TRUE(ReadPeLayout(stub, layout, error));
        std::vector<uint8_t> signed_ = stub;
        SetU32(signed_, layout.DirectoryAt(kPeSecurityDirectory), static_cast<uint32_t>(stub.size()));
        SetU32(signed_, layout.DirectoryAt(kPeSecurityDirectory) + 4, 0x100);
        signed_.resize(stub.size() + 0x100, 0);
        WriteBytes(w.work / "signed.exe", signed_);
        w.Refused(w.work / "signed.exe", "signed: writing resources would break its signature");

        // A finished setup given as the stub.
        ASSERT_EQ(0, Kvnpack({"setup", (w.work / "sdk").string(), "--stub", test.file.string(), "-o",
                              (w.work / "done.exe").string()})
                         .status);
        w.Refused(w.work / "done.exe", "already carries a payload");
    }
}

TEST(SetupRefuses, FoldersThatCannotBePacked) {
    SetupWork w;
    ASSERT_FALSE(w.stub.empty());
    w.Refused(w.stub, "missing", "licence.txt", "missing");
    fs::create_symlink("/etc", w.work / "sdk/Main/link");
    w.Refused(w.stub, "link");
}

TEST(SetupRefuses, LicenceTextsThatAreNotCodePage1252WithCrLf) {
    SetupWork w;
    ASSERT_FALSE(w.stub.empty());
    const std::vector<std::pair<std::vector<uint8_t>, std::string>> cases = {
        {{'a', '\n', 'b', '\r', '\n'}, "line 1 ends with LF alone"},
        {{'a', '\r', '\n', 'b', '\r'}, "line 2 ends with CR alone"},
        {{'R', 0xC2, 0xAE, '\r', '\n'}, "UTF-8"},
        {{0xEF, 0xBB, 0xBF, 'a', '\r', '\n'}, "UTF-8"},
        {{0xFF, 0xFE, 'a', 0, '\r', 0, '\n', 0}, "UTF-16"},
        {{'a', 0, '\r', '\n'}, "zero byte"},
        {{'a', 0x81, '\r', '\n'}, "code page 1252 does not define"},
        {{}, "empty"},
    };
    for (const auto& c : cases) {
        WriteBytes(w.work / "bad.txt", c.first);
        w.Refused(w.stub, c.second, "bad.txt");
        w.Refused(w.stub, "CR LF line ends", "bad.txt");
    }
    // Accents in 1252 are fine, and so is a last line without a line end.
    WriteBytes(w.work / "good.txt", {'R', 0xAE, ' ', 0xE9, '\r', '\n', 'x'});
    EXPECT_EQ(0, Kvnpack({"setup", (w.work / "sdk").string(), "--agreement", (w.work / "good.txt").string(),
                          "--stub", w.stub.string(), "-o", (w.work / "g.exe").string()})
                     .status);
}

TEST(SetupRefuses, AnOutputThatWouldReplaceTheStub) {
    SetupWork w;
    ASSERT_FALSE(w.stub.empty());
    fs::copy_file(w.stub, w.work / "stub.exe");
    const RunResult run = Kvnpack({"setup", (w.work / "sdk").string(), "--stub",
                                   (w.work / "stub.exe").string(), "-o", (w.work / "stub.exe").string()});
    EXPECT_EQ(1, run.status);
    EXPECT_NE(std::string::npos, run.err.find("replace the stub"));
    EXPECT_EQ(ReadBytes(w.stub), ReadBytes(w.work / "stub.exe"));
}

TEST(SetupRefuses, CommandLinesItDoesNotUnderstand) {
    SetupWork w;
    const std::string sdk = (w.work / "sdk").string(), out = (w.work / "s.exe").string();
    EXPECT_EQ(2, Kvnpack({"setup", sdk}).status) << "no -o";
    EXPECT_EQ(2, Kvnpack({"setup", "-o", out}).status) << "no content";
    EXPECT_EQ(2, Kvnpack({"setup", sdk, "--payload", "p.bin", "-o", out}).status) << "folder and payload";
    EXPECT_EQ(2, Kvnpack({"setup", sdk, "--stub", "-o", out}).status);
    EXPECT_FALSE(fs::exists(out));
}

}  // namespace
