// kvnbench_openssl CONTAINER REPS: decrypts the container's whole 16-byte
// blocks through the setup's two AES-256-CBC layers with OpenSSL's libcrypto
// (layer 1, then layer 0), REPS times on a fresh copy, and prints the median
// time and the digest of the result. OPENSSL_ia32cap in the environment picks
// libcrypto's code path; it is read when the library starts, hence a process
// of its own.
#include <openssl/evp.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "bench/clock.h"
#include "bench/digest.h"
#include "bench/stats.h"
#include "foundation/block.h"
#include "package/key_blob.h"
#include "bench/native_decode.h"

namespace {

// Key material as the key object derives it: the blob's key field extended
// with zeros to 64 bytes; layer 0 takes bytes 0-31, layer 1 bytes 32-63.
struct LayerKeys {
    uint8_t material[64] = {};
    uint8_t iv[16] = {};
};

LayerKeys KeysFromBlob() {
    uint8_t blob[kKeyBlobSize];
    WriteKeyBlob(blob);
    LayerKeys keys;
    std::memcpy(keys.material, blob + 8, 16);
    std::memcpy(keys.iv, blob + 28, 16);
    return keys;
}

bool DecryptLayer(uint8_t* data, int length, const uint8_t* key, const uint8_t* iv) {
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    if (!ctx) return false;
    int out = 0;
    bool ok = EVP_DecryptInit_ex(ctx, EVP_aes_256_cbc(), nullptr, key, iv) == 1 &&
              EVP_CIPHER_CTX_set_padding(ctx, 0) == 1 &&
              EVP_DecryptUpdate(ctx, data, &out, data, length) == 1 && out == length;
    EVP_CIPHER_CTX_free(ctx);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: kvnbench_openssl CONTAINER REPS\n");
        return 2;
    }
    CWBlock container;
    std::string error;
    if (!ReadPayload(argv[1], container, error)) {
        std::fprintf(stderr, "kvnbench_openssl: %s\n", error.c_str());
        return 1;
    }
    const int reps = std::atoi(argv[2]) > 0 ? std::atoi(argv[2]) : 1;
    const int length = static_cast<int>(container.GetLength() / 16 * 16);
    const LayerKeys keys = KeysFromBlob();
    std::vector<uint8_t> work(container.GetLength());
    std::vector<double> seconds;
    for (int i = 0; i < reps; ++i) {
        std::memcpy(work.data(), container.GetData(), work.size());
        const double start = NowSeconds();
        const bool ok = DecryptLayer(work.data(), length, keys.material + 32, keys.iv) &&
                        DecryptLayer(work.data(), length, keys.material, keys.iv);
        seconds.push_back(NowSeconds() - start);
        if (!ok) {
            std::fprintf(stderr, "kvnbench_openssl: decryption failed\n");
            return 1;
        }
    }
    std::printf("seconds=%.6f\nbytes=%d\ndigest=%s\n", Median(seconds), length,
                Digest(work.data(), static_cast<size_t>(length)).c_str());
    return 0;
}
