#include "tools/kvnpack/payload_writer.h"

#include <zlib.h>

#include <algorithm>
#include <fstream>

#include "package/aes_key.h"
#include "package/key_blob.h"

namespace {

constexpr uint64_t kFourGiB = uint64_t(1) << 32;

void PutU32(std::vector<uint8_t>& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

bool ReadExactly(const TreeEntry& entry, std::vector<uint8_t>& image, std::string& error) {
    std::ifstream file(entry.source, std::ios::binary);
    if (!file) {
        error = entry.source.u8string() + ": cannot open the file";
        return false;
    }
    const size_t at = image.size();
    image.resize(at + static_cast<size_t>(entry.size));
    if (entry.size > 0)
        file.read(reinterpret_cast<char*>(image.data() + at), static_cast<std::streamsize>(entry.size));
    if (static_cast<uint64_t>(file.gcount()) != entry.size ||
        file.peek() != std::ifstream::traits_type::eof()) {
        error = entry.source.u8string() + ": the file changed while it was packed";
        return false;
    }
    return true;
}

}  // namespace

bool BuildPackageImage(const std::vector<TreeEntry>& entries, std::vector<uint8_t>& image,
                       std::string& error) {
    image.clear();
    const uint64_t total = PackageImageSize(entries);
    if (total >= kFourGiB || total > image.max_size()) {
        error = "the package image would reach 4 GiB";
        return false;
    }
    image.reserve(static_cast<size_t>(total));
    PutU32(image, kPackageFormatVersion);
    for (const TreeEntry& entry : entries) {
        PutU32(image, static_cast<uint32_t>(entry.name.size() * 2));
        for (char16_t unit : entry.name) {
            image.push_back(static_cast<uint8_t>(unit & 0xFF));
            image.push_back(static_cast<uint8_t>(unit >> 8));
        }
        PutU32(image, entry.attributes);
        PutU32(image, entry.folder ? 0 : static_cast<uint32_t>(entry.size));
        if (!entry.folder && !ReadExactly(entry, image, error)) return false;
    }
    return true;
}

bool DeflateLevel9(const uint8_t* data, size_t size, std::vector<uint8_t>& out, std::string& error) {
    z_stream stream{};
    if (deflateInit(&stream, 9) != Z_OK) {
        error = "zlib could not start compressing";
        return false;
    }
    constexpr size_t kChunk = size_t(1) << 20;
    constexpr size_t kFeed = size_t(1) << 30;
    size_t fed = 0;
    int result = Z_OK;
    while (result != Z_STREAM_END) {
        if (stream.avail_in == 0 && fed < size) {
            const size_t part = std::min(kFeed, size - fed);
            stream.next_in = const_cast<Bytef*>(data + fed);
            stream.avail_in = static_cast<uInt>(part);
            fed += part;
        }
        const int flush = (fed == size) ? Z_FINISH : Z_NO_FLUSH;
        const size_t at = out.size();
        out.resize(at + kChunk);
        stream.next_out = out.data() + at;
        stream.avail_out = static_cast<uInt>(kChunk);
        result = deflate(&stream, flush);
        out.resize(at + kChunk - stream.avail_out);
        if (result != Z_OK && result != Z_STREAM_END) break;
    }
    deflateEnd(&stream);
    if (result != Z_STREAM_END) {
        error = "zlib failed while compressing";
        return false;
    }
    return true;
}

void MakeKeyBlob(bool foreignKey, CWBlock& blob) {
    uint8_t bytes[kKeyBlobSize];
    WriteKeyBlob(bytes);
    if (foreignKey)
        for (int i = 8; i < 24; ++i) bytes[i] ^= 0xA5;  // the 16 bytes of the key field
    blob.SetSize(0);
    blob.Append(bytes, kKeyBlobSize);
}

void ImportPackageKey(bool foreignKey, CWCryptAESKey& key) {
    CWBlock blob;
    MakeKeyBlob(foreignKey, blob);
    key.ImportKeyBlob(blob);
}

bool SealPackageImage(const std::vector<uint8_t>& image, bool foreignKey, CWBlock& container,
                      std::string& error) {
    if (image.size() >= kFourGiB) {
        error = "the package image would reach 4 GiB";
        return false;
    }
    std::vector<uint8_t> compressed;
    PutU32(compressed, static_cast<uint32_t>(image.size()));
    if (!DeflateLevel9(image.data(), image.size(), compressed, error)) return false;
    const uint64_t length = compressed.size();
    const uint64_t padded = (length + 31) / 32 * 32;
    if (padded + 4 >= kFourGiB) {
        error = "the compressed image would reach 4 GiB";
        return false;
    }
    compressed.resize(static_cast<size_t>(padded), 0);

    container.Free();
    if (!container.Append(compressed.data(), static_cast<uint32_t>(padded))) {
        error = "out of memory for the container";
        return false;
    }
    CWCryptAESKey key;
    ImportPackageKey(foreignKey, key);
    if (key.Encrypt(container) != 0) {
        error = "the key could not be set up";
        return false;
    }
    AppendInt32(container, static_cast<uint32_t>(length));
    if (container.GetLength() != padded + 4) {
        error = "out of memory for the container";
        return false;
    }
    return true;
}
