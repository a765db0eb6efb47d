// kvnpack setup: the folder (or a packed payload) and the licence text
// written into the setup stub.
#include <filesystem>
#include <ostream>
#include <system_error>

#include "tools/kvnpack/agreement_check.h"
#include "tools/kvnpack/command_support.h"
#include "tools/kvnpack/file_io.h"
#include "tools/kvnpack/res_file.h"
#include "tools/kvnpack/stub_location.h"
#include "tools/kvnpack/stub_writer.h"

namespace fs = std::filesystem;

namespace {

bool SameFile(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    return fs::equivalent(a, b, ec) && !ec;
}

}  // namespace

int SetupCommand(const Options& options, std::ostream& out, std::ostream& err) {
    const bool fromFolder = options.positional.size() == 1 && options.payload.empty();
    const bool fromPayload = options.positional.empty() && !options.payload.empty();
    if ((!fromFolder && !fromPayload) || options.output.empty())
        return Usage(err, "setup needs one FOLDER (or --payload PAYLOAD) and -o SETUP.exe");
    std::string error;
    fs::path stubPath = PathOf(options.stub);
    if (options.stub.empty()) {
        std::vector<fs::path> looked;
        stubPath = FindInstalledStub(looked);
        if (stubPath.empty()) {
            std::string places;
            for (const fs::path& place : looked) places += "\n  " + place.u8string();
            return Fail(err,
                        "no setup stub installed with kvnpack (give one with --stub); looked for" + places);
        }
    }
    const fs::path output = PathOf(options.output);
    if (SameFile(stubPath, output)) return Fail(err, options.output + ": the output would replace the stub");

    // Stub and licence text first: a refusal there costs no packing.
    std::vector<uint8_t> stub;
    if (!ReadFileBytes(stubPath, stub, error)) return Fail(err, error);
    std::vector<NewResource> resources(1);
    resources[0].what = "a payload";
    resources[0].item.type = ResourceKey::Name(kPayloadResourceTypeU16);
    resources[0].item.name = ResourceKey::Name(kPayloadResourceNameU16);
    resources[0].item.language = ResourceKey::Id(kLanguageEnglishUS);
    if (!options.agreement.empty()) {
        NewResource agreement;
        agreement.what = "an agreement text";
        agreement.item.type = ResourceKey::Name(kPayloadResourceTypeU16);
        agreement.item.name = ResourceKey::Name(kAgreementResourceNameU16);
        agreement.item.language = ResourceKey::Id(kLanguageEnglishUS);
        if (!ReadFileBytes(PathOf(options.agreement), agreement.item.data, error)) return Fail(err, error);
        if (!CheckAgreementText(agreement.item.data, error))
            return Fail(err, options.agreement + ": " + error);
        resources.push_back(agreement);
    }
    StubEditor editor;
    if (!editor.Open(stub, resources, error))
        return Fail(err, stubPath.u8string() + ": the stub is " + error);

    size_t records = 0;
    if (fromFolder) {
        Packed packed;
        if (!PackFolder(options.positional[0], false, packed, error)) return Fail(err, error);
        records = packed.records;
        resources[0].item.data.assign(packed.container.GetData(),
                                      packed.container.GetData() + packed.container.GetLength());
    } else {
        DecodeNeeds needs;
        if (!ReadPayload(options.payload, resources[0].item.data, needs, error)) return Fail(err, error);
    }
    std::vector<uint8_t> setup;
    if (!editor.Write(resources, setup, error)) return Fail(err, error);
    if (!WriteFileReplacing(output, setup.data(), setup.size(), error)) return Fail(err, error);
    out << "kvnpack: ";
    if (fromFolder) out << records << " records, ";
    out << "payload " << resources[0].item.data.size() << " bytes"
        << (options.agreement.empty() ? "" : ", licence text") << " -> " << options.output << " ("
        << (editor.IsPe32Plus() ? "64" : "32") << "-bit, unsigned)\n";
    return 0;
}
