// The stub editor in-process, on damaged stubs: every damage gives a
// result (a message or a program that reads back), never a crash.
#include <gtest/gtest.h>

#include "package/payload_resource_names.h"
#include "tests/native/kvnpack/kvnpack_harness.h"
#include "tools/kvnpack/le_bytes.h"
#include "tools/kvnpack/decode_budget.h"
#include "tools/kvnpack/stub_writer.h"

namespace {

std::vector<NewResource> Payload() {
    std::vector<NewResource> added(1);
    added[0].what = "a payload";
    added[0].item.type = ResourceKey::Name(kPayloadResourceTypeU16);
    added[0].item.name = ResourceKey::Name(kPayloadResourceNameU16);
    added[0].item.language = ResourceKey::Id(1033);
    added[0].item.data = RandomBytes(3000, 5);
    return added;
}

TEST(StubEditor, DamagedResourceDirectoriesGiveAMessageOrAProgramThatReadsBack) {
    for (const TestStub& test : TestStubs()) {
        SCOPED_TRACE(test.file.string());
        const std::vector<uint8_t> stub = ReadBytes(test.file);
        PeLayout layout;
        std::string error;
        ASSERT_TRUE(ReadPeLayout(stub, layout, error));
        const PeSection& rsrc =
            layout.sections[layout.SectionOf(layout.directories[kPeResourceDirectory].rva)];
        size_t refused = 0, written = 0;
        // Every byte of the directory tables, set to values that point far,
        // flip the subdirectory bit or make counts huge.
        for (size_t at = rsrc.rawPointer; at < rsrc.rawPointer + 0x200; ++at)
            for (uint8_t value : {uint8_t(0xFF), uint8_t(0x80), uint8_t(0x00), uint8_t(0x7F)}) {
                std::vector<uint8_t> damaged = stub;
                if (damaged[at] == value) continue;
                damaged[at] = value;
                StubEditor editor;
                std::string message;
                const std::vector<NewResource> added = Payload();
                if (!editor.Open(damaged, added, message)) {
                    EXPECT_FALSE(message.empty());
                    ++refused;
                    continue;
                }
                std::vector<uint8_t> out;
                ASSERT_TRUE(editor.Write(added, out, message)) << message;
                StubEditor again;
                EXPECT_FALSE(again.Open(out, added, message))
                    << "the written program reads back with its payload";
                EXPECT_NE(std::string::npos, message.find("already carries a payload")) << message;
                ++written;
            }
        EXPECT_GT(refused, 0u);
        EXPECT_GT(written, 0u);
    }
}

TEST(StubEditor, OnlyTheRelocationTableMayFollowTheResources) {
    for (const TestStub& test : TestStubs()) {
        std::vector<uint8_t> stub = ReadBytes(test.file);
        PeLayout layout;
        std::string error;
        ASSERT_TRUE(ReadPeLayout(stub, layout, error));
        ASSERT_EQ(".reloc", layout.sections.back().name);
        std::copy_n(".data2\0", 7, stub.begin() + layout.sections.back().headerAt);
        StubEditor editor;
        EXPECT_FALSE(editor.Open(stub, Payload(), error));
        EXPECT_NE(std::string::npos, error.find("section .data2 follows the resources")) << error;
    }
}

}  // namespace

namespace {

TEST(DecodeBudget, RefusesAPackageAboveTheMeasuredLimitAndSaysIt) {
    // Incompressible: the payload is as large as the image.
    const uint64_t mib = uint64_t(1) << 20;
    std::string error;
    DecodeNeeds fits{925 * mib, 925 * mib, 16 * mib};
    EXPECT_TRUE(CheckDecodeFits(fits, error)) << error;
    DecodeNeeds tooLarge{1000 * mib, 1000 * mib, 16 * mib};
    EXPECT_FALSE(CheckDecodeFits(tooLarge, error));
    EXPECT_NE(std::string::npos, error.find(std::to_string(kDecodePeakLimit / mib) + " MiB is the most"))
        << error;
    EXPECT_NE(std::string::npos, error.find("32-bit setup")) << error;
    // Text compresses well, but the image still needs one piece of memory.
    DecodeNeeds text{2 * mib, 1792 * mib, 16 * mib};
    EXPECT_TRUE(CheckDecodeFits(text, error)) << error;
    text.image += 4096;
    EXPECT_FALSE(CheckDecodeFits(text, error));
    EXPECT_NE(std::string::npos, error.find("1792 MiB is the most")) << error;
}

}  // namespace
