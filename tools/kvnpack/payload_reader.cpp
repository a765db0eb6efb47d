#include "tools/kvnpack/payload_reader.h"

#include "package/aes_key.h"
#include "tools/kvnpack/payload_writer.h"

bool CheckContainerShape(const std::vector<uint8_t>& payload, std::string& error) {
    const uint64_t size = payload.size();
    if (size < 36 || (size - 4) % 32 != 0) {
        error = "not a payload: its size is not 4 more than a multiple of 32";
        return false;
    }
    const uint64_t body = size - 4;
    const uint8_t* trailer = payload.data() + body;
    const uint32_t length = static_cast<uint32_t>(trailer[0]) | (static_cast<uint32_t>(trailer[1]) << 8) |
                            (static_cast<uint32_t>(trailer[2]) << 16) |
                            (static_cast<uint32_t>(trailer[3]) << 24);
    if (length < 6 || length > body) {
        error = "not a payload, or a damaged one: its trailer does not match its size";
        return false;
    }
    return true;
}

bool OpenPayload(const std::vector<uint8_t>& payload, CWBlock& package, std::string& error) {
    if (!CheckContainerShape(payload, error)) return false;
    const uint64_t size = payload.size();
    CWBlock container;
    if (!container.Append(payload.data(), static_cast<uint32_t>(size))) {
        error = "out of memory for the payload";
        return false;
    }
    CWCryptAESKey key;
    ImportPackageKey(false, key);
    key.Decrypt(container);
    const int status = InflatePackage(container, package);
    if (status == -2) {
        error = "damaged payload: its data does not end within its declared size";
        return false;
    }
    if (status != 0) {
        error = "the payload does not decode: it is damaged, or made under another key";
        return false;
    }
    return true;
}

bool ReadAllRecords(const CWBlock& package, std::vector<PackageRecord>& records, std::string& error) {
    records.clear();
    PackageRecordReader reader(package);
    PackageRecord record;
    for (;;) {
        const int read = reader.Next(record);
        if (read == 0) return true;
        if (read < 0) {
            error = "damaged package: a record runs past the end of the package image (at byte " +
                    std::to_string(reader.Position()) + ")";
            return false;
        }
        records.push_back(record);
    }
}

std::u16string RecordName(const PackageRecord& record) {
    return std::u16string(record.name);
}
