#include "tools/kvnpack/command_support.h"

#include <algorithm>
#include <ostream>

#include "tools/kvnpack/file_io.h"
#include "tools/kvnpack/payload_reader.h"
#include "tools/kvnpack/payload_writer.h"
#include "tools/kvnpack/tree_scan.h"

namespace fs = std::filesystem;

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

bool ParseOptions(const std::vector<std::string>& arguments, size_t first, Options& options,
                  std::ostream& err) {
    for (size_t i = first; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        std::string* value = nullptr;
        if (a == "-o" || a == "--output")
            value = &options.output;
        else if (a == "--payload")
            value = &options.payload;
        else if (a == "--agreement")
            value = &options.agreement;
        else if (a == "--stub")
            value = &options.stub;
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

fs::path PathOf(const std::string& utf8) {
    return fs::u8path(utf8);
}

int Fail(std::ostream& err, const std::string& message) {
    err << "kvnpack: " << message << "\n";
    return 1;
}

int Usage(std::ostream& err, const std::string& message) {
    err << "kvnpack: " << message << "\n" << kUsage;
    return 2;
}

bool PackFolder(const std::string& folder, bool foreignKey, Packed& packed, std::string& error) {
    std::vector<TreeEntry> entries;
    if (!ScanTree(PathOf(folder), entries, error)) return false;
    std::vector<uint8_t> image;
    if (!BuildPackageImage(entries, image, error)) return false;
    if (!SealPackageImage(image, foreignKey, packed.container, error)) return false;
    packed.records = entries.size();
    packed.needs.payload = packed.container.GetLength();
    packed.needs.image = image.size();
    for (const TreeEntry& entry : entries)
        packed.needs.largestFile = std::max(packed.needs.largestFile, entry.size);
    return CheckDecodeFits(packed.needs, error);
}

bool ReadPayload(const std::string& file, std::vector<uint8_t>& payload, DecodeNeeds& needs,
                 std::string& error) {
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

int PackCommand(const Options& options, std::ostream& out, std::ostream& err) {
    if (options.positional.size() != 1 || options.output.empty())
        return Usage(err, "pack needs one FOLDER and -o PAYLOAD");
    Packed packed;
    std::string error;
    if (!PackFolder(options.positional[0], options.foreignKey, packed, error)) return Fail(err, error);
    const CWBlock& container = packed.container;
    if (!WriteFileReplacing(PathOf(options.output), container.GetData(), container.GetLength(), error))
        return Fail(err, error);
    out << "kvnpack: " << packed.records << " records, package image " << packed.needs.image
        << " bytes, payload " << container.GetLength() << " bytes -> " << options.output
        << (options.foreignKey ? " (foreign key)" : "") << "\n";
    return 0;
}
