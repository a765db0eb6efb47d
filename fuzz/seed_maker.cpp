// Peels kvnpack payloads into the seed corpora of the fuzz targets:
//   OUT/key_blob_decrypt  the payload behind the input header of that target
//   OUT/inflate           the decrypted compressed image
//   OUT/record_reader     the inflated package image
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "package/aes_key.h"
#include "package/key_blob.h"
#include "package/package_format.h"

namespace fs = std::filesystem;

namespace {

void Write(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> Bytes(const CWBlock& block) {
    return std::vector<uint8_t>(block.GetData(), block.GetData() + block.GetLength());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: fuzz_seed_maker OUT PAYLOAD...\n");
        return 2;
    }
    const fs::path out = argv[1];
    for (const char* corpus : {"key_blob_decrypt", "inflate", "record_reader"})
        fs::create_directories(out / corpus);

    uint8_t blob[kKeyBlobSize];
    WriteKeyBlob(blob);
    for (int i = 2; i < argc; ++i) {
        std::ifstream file(argv[i], std::ios::binary);
        const std::vector<uint8_t> payload((std::istreambuf_iterator<char>(file)),
                                           std::istreambuf_iterator<char>());
        if (payload.empty()) {
            std::fprintf(stderr, "fuzz_seed_maker: %s: no payload\n", argv[i]);
            return 1;
        }
        const std::string tag = fs::path(argv[i]).stem().string();

        std::vector<uint8_t> ownKey = {'0'};
        ownKey.insert(ownKey.end(), payload.begin(), payload.end());
        Write(out / "key_blob_decrypt" / (tag + "-own-key"), ownKey);
        std::vector<uint8_t> givenKey = {'1', static_cast<uint8_t>(kKeyBlobSize)};
        givenKey.insert(givenKey.end(), blob, blob + kKeyBlobSize);
        givenKey.insert(givenKey.end(), payload.begin(), payload.end());
        Write(out / "key_blob_decrypt" / (tag + "-given-key"), givenKey);

        CWBlock container, keyBlob, package;
        container.Append(payload.data(), static_cast<uint32_t>(payload.size()));
        keyBlob.Append(blob, kKeyBlobSize);
        CWCryptAESKey key;
        key.ImportKeyBlob(keyBlob);
        key.Decrypt(container);
        Write(out / "inflate" / tag, Bytes(container));
        if (InflatePackage(container, package) == 0) Write(out / "record_reader" / tag, Bytes(package));
    }
    return 0;
}
