#include "tools/kvnpack/commands.h"

#include <cstdio>
#include <filesystem>
#include <ostream>
#include <system_error>

#include "package/package_format.h"
#include "tools/kvnpack/command_support.h"
#include "tools/kvnpack/file_io.h"
#include "tools/kvnpack/payload_reader.h"
#include "tools/kvnpack/res_file.h"
#include "tools/kvnpack/tree_scan.h"
#include "tools/kvnpack/utf16.h"

namespace fs = std::filesystem;

namespace {

// The payload file's records, every one checked; false after telling why.
bool ReadPayloadRecords(const std::string& file, CWBlock& package, std::vector<PackageRecord>& records,
                        std::ostream& err) {
    std::vector<uint8_t> payload;
    std::string error;
    if (!ReadFileBytes(PathOf(file), payload, error)) {
        Fail(err, error);
        return false;
    }
    if (!OpenPayload(payload, package, error) || !ReadAllRecords(package, records, error)) {
        Fail(err, file + ": " + error);
        return false;
    }
    return true;
}

fs::path PathFromUtf16(const std::u16string& name) {
#ifdef _WIN32
    return fs::path(std::wstring(name.begin(), name.end()));
#else
    return fs::u8path(Utf16ToUtf8(name));
#endif
}

int Res(const Options& options, std::ostream& out, std::ostream& err) {
    if (!options.positional.empty() || options.output.empty() || options.payload.empty())
        return Usage(err, "res needs --payload PAYLOAD and -o RESFILE");
    std::vector<ResourceEntry> resources(1);
    resources[0].type = kPayloadResourceTypeU16;
    resources[0].name = kPayloadResourceNameU16;
    std::string error;
    if (!ReadFileBytes(PathOf(options.payload), resources[0].data, error)) return Fail(err, error);
    // The shape of a container only; a payload under another key is fine here.
    if (!CheckContainerShape(resources[0].data, error)) return Fail(err, options.payload + ": " + error);
    if (!options.agreement.empty()) {
        ResourceEntry agreement;
        agreement.type = kPayloadResourceTypeU16;
        agreement.name = kAgreementResourceNameU16;
        if (!ReadFileBytes(PathOf(options.agreement), agreement.data, error)) return Fail(err, error);
        resources.push_back(agreement);
    }
    const std::vector<uint8_t> res = BuildResFile(resources);
    if (!WriteFileReplacing(PathOf(options.output), res.data(), res.size(), error)) return Fail(err, error);
    out << "kvnpack: " << resources.size() << " resources -> " << options.output << "\n";
    return 0;
}

int List(const Options& options, std::ostream& out, std::ostream& err) {
    if (options.positional.size() != 1 || !options.output.empty())
        return Usage(err, "list needs one PAYLOAD");
    CWBlock package;
    std::vector<PackageRecord> records;
    if (!ReadPayloadRecords(options.positional[0], package, records, err)) return 1;
    uint64_t folders = 0, files = 0, bytes = 0, unnamed = 0;
    for (PackageRecord record : records) {
        if (!record.IsNamed()) {
            ++unnamed;
            continue;
        }
        const bool written = PreparePackageName(record.name);
        char line[64];
        std::snprintf(line, sizeof line, "%-6s 0x%08X %10u  ", record.IsFolder() ? "folder" : "file",
                      static_cast<unsigned>(record.attributes), static_cast<unsigned>(record.contentLength));
        out << line << Utf16ToUtf8(RecordName(record));
        if (!written) out << "  (the setup does not write this name)";
        out << "\n";
        if (record.IsFolder())
            ++folders;
        else
            ++files;
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
    // The whole image is checked before anything is written.
    CWBlock package;
    std::vector<PackageRecord> records;
    if (!ReadPayloadRecords(options.positional[0], package, records, err)) return 1;
    std::string error;

    const fs::path folder = PathOf(options.positional[1]);
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (!fs::is_directory(folder, ec)) return Fail(err, options.positional[1] + ": cannot create the folder");

    size_t written = 0, refused = 0;
    for (PackageRecord record : records) {
        if (!record.IsNamed()) continue;
        const bool safe = PreparePackageName(record.name);
        const std::u16string name = RecordName(record);
        const std::string shown = Utf16ToUtf8(name);
        fs::path target;
        if (!safe || !TargetPath(folder, name, target)) {
            err << "kvnpack: " << shown
                << ": not written (the name would leave the folder or names a device)\n";
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
                fs::permissions(target,
                                fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
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
        if (command == "setup") return SetupCommand(options, out, err);
        if (command == "pack") return PackCommand(options, out, err);
        if (command == "res") return Res(options, out, err);
        if (command == "list") return List(options, out, err);
        if (command == "extract") return Extract(options, out, err);
        return Usage(err, "unknown command " + command);
    } catch (const std::exception& e) {
        return Fail(err, e.what());
    }
}
