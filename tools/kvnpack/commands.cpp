#include "tools/kvnpack/commands.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <ostream>
#include <system_error>

#include "package/package_format.h"
#include "tools/kvnpack/agreement_check.h"
#include "tools/kvnpack/decode_budget.h"
#include "tools/kvnpack/file_io.h"
#include "tools/kvnpack/payload_reader.h"
#include "tools/kvnpack/payload_writer.h"
#include "tools/kvnpack/res_file.h"
#include "tools/kvnpack/stub_location.h"
#include "tools/kvnpack/stub_writer.h"
#include "tools/kvnpack/tree_scan.h"
#include "tools/kvnpack/utf16.h"

namespace fs = std::filesystem;

namespace {

const char kUsage[] =
    "usage:\n"
    "  kvnpack setup FOLDER [--agreement FILE] [--stub STUB] -o SETUP.exe\n"
    "  kvnpack setup --payload PAYLOAD [--agreement FILE] [--stub STUB] -o SETUP.exe\n"
    "      Makes the setup program: packs FOLDER (or takes a packed PAYLOAD) and writes it,\n"
    "      with the licence text (code page 1252, CR LF), into the setup stub (by default\n"
    "      the one installed with kvnpack). The result is unsigned: sign it afterwards.\n"
    "  kvnpack pack FOLDER -o PAYLOAD\n"
    "      Packs every file and folder below FOLDER into the setup's encrypted payload.\n"
    "  kvnpack res --payload PAYLOAD [--agreement FILE] -o RESFILE\n"
    "      Writes the payload (and the licence text) as the setup's resources in a .res file.\n"
    "  kvnpack list PAYLOAD\n"
    "      Decrypts the payload and lists its records: kind, attributes, size, name.\n"
    "  kvnpack extract PAYLOAD FOLDER\n"
    "      Writes the payload's files and folders below FOLDER, for inspection.\n"
    "  kvnpack --help | --version\n"
    "\n"
    "option for tests only:\n"
    "  --test-foreign-key   (pack) encrypt under a key the setup does not hold, to make a\n"
    "                       payload that the setup must refuse\n";

const char16_t kPayloadType[] = u"{61C38F02-7412}";
const char16_t kPayloadName[] = u"{8D4F2B16-C05A-4E93-A7B1-3F6E92D0C845}";
const char16_t kAgreementName[] = u"AGREEMENT";

struct Options {
    std::vector<std::string> positional;
    std::string output, payload, agreement, stub;
    bool foreignKey = false;
    bool help = false;
};

bool ParseOptions(const std::vector<std::string>& arguments, size_t first, Options& options, std::ostream& err) {
    for (size_t i = first; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        std::string* value = nullptr;
        if (a == "-o" || a == "--output") value = &options.output;
        else if (a == "--payload") value = &options.payload;
        else if (a == "--agreement") value = &options.agreement;
        else if (a == "--stub") value = &options.stub;
        if (value) {
            if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
                err << "kvnpack: " << a << " needs a file name\n";
                return false;
            }
            *value = arguments[++i];
        } else if (a == "--test-foreign-key") {
            options.foreignKey = true;
        } else if (a == "-h" || a == "--help") {
            options.help = true;
        } else if (a.size() > 1 && a[0] == '-') {
            err << "kvnpack: unknown option " << a << "\n";
            return false;
        } else {
            options.positional.push_back(a);
        }
    }
    return true;
}

fs::path PathOf(const std::string& utf8) { return fs::u8path(utf8); }

fs::path PathFromUtf16(const std::u16string& name) {
#ifdef _WIN32
    return fs::path(std::wstring(name.begin(), name.end()));
#else
    return fs::u8path(Utf16ToUtf8(name));
#endif
}

int Fail(std::ostream& err, const std::string& message) {
    err << "kvnpack: " << message << "\n";
    return 1;
}

int Usage(std::ostream& err, const std::string& message) {
    err << "kvnpack: " << message << "\n" << kUsage;
    return 2;
}

// A folder packed into a container, with what the setup needs to decode it.
struct Packed {
    CWBlock container;
    DecodeNeeds needs;
    size_t records = 0;
};

bool PackFolder(const std::string& folder, bool foreignKey, Packed& packed, std::string& error) {
    std::vector<TreeEntry> entries;
    if (!ScanTree(PathOf(folder), entries, error)) return false;
    std::vector<uint8_t> image;
    if (!BuildPackageImage(entries, image, error)) return false;
    if (!SealPackageImage(image, foreignKey, packed.container, error)) return false;
    packed.records = entries.size();
    packed.needs.payload = packed.container.GetLength();
    packed.needs.image = image.size();
    for (const TreeEntry& entry : entries) packed.needs.largestFile = std::max(packed.needs.largestFile, entry.size);
    return CheckDecodeFits(packed.needs, error);
}

int Pack(const Options& options, std::ostream& out, std::ostream& err) {
    if (options.positional.size() != 1 || options.output.empty())
        return Usage(err, "pack needs one FOLDER and -o PAYLOAD");
    Packed packed;
    std::string error;
    if (!PackFolder(options.positional[0], options.foreignKey, packed, error)) return Fail(err, error);
    const CWBlock& container = packed.container;
    if (!WriteFileReplacing(PathOf(options.output), container.GetData(), container.GetLength(), error))
        return Fail(err, error);
    out << "kvnpack: " << packed.records << " records, package image " << packed.needs.image << " bytes, payload "
        << container.GetLength() << " bytes -> " << options.output << (options.foreignKey ? " (foreign key)" : "")
        << "\n";
    return 0;
}

// A ready-made payload: its container bytes, and what decoding it takes.
bool ReadPayload(const std::string& file, std::vector<uint8_t>& payload, DecodeNeeds& needs, std::string& error) {
    if (!ReadFileBytes(PathOf(file), payload, error)) return false;
    CWBlock package;
    std::vector<PackageRecord> records;
    if (!OpenPayload(payload, package, error) || !ReadAllRecords(package, records, error)) {
        error = file + ": " + error;
        return false;
    }
    needs.payload = payload.size();
    needs.image = package.GetLength();
    for (const PackageRecord& record : records)
        needs.largestFile = std::max<uint64_t>(needs.largestFile, record.contentLength);
    if (!CheckDecodeFits(needs, error)) {
        error = file + ": " + error;
        return false;
    }
    return true;
}

bool SameFile(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    return fs::equivalent(a, b, ec) && !ec;
}

int Setup(const Options& options, std::ostream& out, std::ostream& err) {
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
            return Fail(err, "no setup stub installed with kvnpack (give one with --stub); looked for" + places);
        }
    }
    const fs::path output = PathOf(options.output);
    if (SameFile(stubPath, output)) return Fail(err, options.output + ": the output would replace the stub");

    // Stub and licence text first: a refusal there costs no packing.
    std::vector<uint8_t> stub;
    if (!ReadFileBytes(stubPath, stub, error)) return Fail(err, error);
    std::vector<NewResource> resources(1);
    resources[0].what = "a payload";
    resources[0].item.type = ResourceKey::Name(kPayloadType);
    resources[0].item.name = ResourceKey::Name(kPayloadName);
    resources[0].item.language = ResourceKey::Id(kLanguageEnglishUS);
    if (!options.agreement.empty()) {
        NewResource agreement;
        agreement.what = "an agreement text";
        agreement.item.type = ResourceKey::Name(kPayloadType);
        agreement.item.name = ResourceKey::Name(kAgreementName);
        agreement.item.language = ResourceKey::Id(kLanguageEnglishUS);
        if (!ReadFileBytes(PathOf(options.agreement), agreement.item.data, error)) return Fail(err, error);
        if (!CheckAgreementText(agreement.item.data, error)) return Fail(err, options.agreement + ": " + error);
        resources.push_back(agreement);
    }
    StubEditor editor;
    if (!editor.Open(stub, resources, error)) return Fail(err, stubPath.u8string() + ": the stub is " + error);

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
    out << "payload " << resources[0].item.data.size() << " bytes" << (options.agreement.empty() ? "" : ", licence text")
        << " -> " << options.output << " (" << (editor.IsPe32Plus() ? "64" : "32") << "-bit, unsigned)\n";
    return 0;
}

int Res(const Options& options, std::ostream& out, std::ostream& err) {
    if (!options.positional.empty() || options.output.empty() || options.payload.empty())
        return Usage(err, "res needs --payload PAYLOAD and -o RESFILE");
    std::vector<ResourceEntry> resources(1);
    resources[0].type = kPayloadType;
    resources[0].name = kPayloadName;
    std::string error;
    if (!ReadFileBytes(PathOf(options.payload), resources[0].data, error)) return Fail(err, error);
    // The shape of a container only; a payload under another key is fine here.
    if (!CheckContainerShape(resources[0].data, error)) return Fail(err, options.payload + ": " + error);
    if (!options.agreement.empty()) {
        ResourceEntry agreement;
        agreement.type = kPayloadType;
        agreement.name = kAgreementName;
        if (!ReadFileBytes(PathOf(options.agreement), agreement.data, error)) return Fail(err, error);
        resources.push_back(agreement);
    }
    const std::vector<uint8_t> res = BuildResFile(resources);
    if (!WriteFileReplacing(PathOf(options.output), res.data(), res.size(), error)) return Fail(err, error);
    out << "kvnpack: " << resources.size() << " resources -> " << options.output << "\n";
    return 0;
}

int List(const Options& options, std::ostream& out, std::ostream& err) {
    if (options.positional.size() != 1 || !options.output.empty()) return Usage(err, "list needs one PAYLOAD");
    std::vector<uint8_t> payload;
    std::string error;
    if (!ReadFileBytes(PathOf(options.positional[0]), payload, error)) return Fail(err, error);
    CWBlock package;
    std::vector<PackageRecord> records;
    if (!OpenPayload(payload, package, error) || !ReadAllRecords(package, records, error))
        return Fail(err, options.positional[0] + ": " + error);
    uint64_t folders = 0, files = 0, bytes = 0, unnamed = 0;
    for (const PackageRecord& record : records) {
        if (!record.IsNamed()) {
            ++unnamed;
            continue;
        }
        char line[64];
        std::snprintf(line, sizeof line, "%-6s 0x%08X %10u  ", record.IsFolder() ? "folder" : "file",
                      static_cast<unsigned>(record.attributes), static_cast<unsigned>(record.contentLength));
        out << line << Utf16ToUtf8(RecordName(record));
        if (!IsSafePackageName(record.name)) out << "  (the setup does not write this name)";
        out << "\n";
        if (record.IsFolder()) ++folders;
        else ++files;
        bytes += record.contentLength;
    }
    out << folders << " folders, " << files << " files, " << bytes << " bytes";
    if (unnamed) out << ", " << unnamed << " unnamed records (skipped by the setup)";
    out << "\n";
    return 0;
}

// The target below folder for a record name, or false when an existing
// symbolic link lies on the way (the tree must stay below folder).
bool TargetPath(const fs::path& folder, const std::u16string& name, fs::path& target) {
    target = folder;
    size_t start = 0;
    for (size_t i = 0; i <= name.size(); ++i) {
        if (i < name.size() && name[i] != u'\\' && name[i] != u'/') continue;
        target /= PathFromUtf16(name.substr(start, i - start));
        std::error_code ec;
        if (fs::is_symlink(fs::symlink_status(target, ec))) return false;
        start = i + 1;
    }
    return true;
}

int Extract(const Options& options, std::ostream& out, std::ostream& err) {
    if (options.positional.size() != 2 || !options.output.empty())
        return Usage(err, "extract needs PAYLOAD and FOLDER");
    std::vector<uint8_t> payload;
    std::string error;
    if (!ReadFileBytes(PathOf(options.positional[0]), payload, error)) return Fail(err, error);
    // The whole image is checked before anything is written.
    CWBlock package;
    std::vector<PackageRecord> records;
    if (!OpenPayload(payload, package, error) || !ReadAllRecords(package, records, error))
        return Fail(err, options.positional[0] + ": " + error);

    const fs::path folder = PathOf(options.positional[1]);
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (!fs::is_directory(folder, ec)) return Fail(err, options.positional[1] + ": cannot create the folder");

    size_t written = 0, refused = 0;
    for (const PackageRecord& record : records) {
        if (!record.IsNamed()) continue;
        const std::u16string name = RecordName(record);
        const std::string shown = Utf16ToUtf8(name);
        fs::path target;
        if (!IsSafePackageName(record.name) || !TargetPath(folder, name, target)) {
            err << "kvnpack: " << shown << ": not written (the name would leave the folder or names a device)\n";
            ++refused;
            continue;
        }
        if (record.IsFolder()) {
            fs::create_directories(target, ec);
            if (!fs::is_directory(target, ec)) {
                err << "kvnpack: " << shown << ": cannot create the folder\n";
                ++refused;
                continue;
            }
        } else {
            if (!fs::is_directory(target.parent_path(), ec)) {
                err << "kvnpack: " << shown << ": not written (no earlier record made its folder)\n";
                ++refused;
                continue;
            }
            if (!WriteFileReplacing(target, record.content, record.contentLength, error)) {
                err << "kvnpack: " << error << "\n";
                ++refused;
                continue;
            }
            if (record.attributes & kReadOnlyAttribute)
                fs::permissions(target, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                                fs::perm_options::remove, ec);
        }
        ++written;
    }
    out << "kvnpack: " << written << " records written below " << options.positional[1] << "\n";
    if (refused) return Fail(err, std::to_string(refused) + " records were not written");
    return 0;
}

}  // namespace

int RunKvnpack(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    try {
        if (arguments.empty()) return Usage(err, "no command given");
        const std::string& command = arguments[0];
        if (command == "-h" || command == "--help" || command == "help") {
            out << kUsage;
            return 0;
        }
        if (command == "--version") {
            out << "kvnpack " << KVNPACK_VERSION << "\n";
            return 0;
        }
        Options options;
        if (!ParseOptions(arguments, 1, options, err)) {
            err << kUsage;
            return 2;
        }
        if (options.help) {
            out << kUsage;
            return 0;
        }
        if (options.foreignKey && command != "pack") return Usage(err, "--test-foreign-key belongs to pack");
        if (command == "setup") return Setup(options, out, err);
        if (command == "pack") return Pack(options, out, err);
        if (command == "res") return Res(options, out, err);
        if (command == "list") return List(options, out, err);
        if (command == "extract") return Extract(options, out, err);
        return Usage(err, "unknown command " + command);
    } catch (const std::exception& e) {
        return Fail(err, e.what());
    }
}
