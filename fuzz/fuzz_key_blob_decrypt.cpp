// Key-blob import and two-layer decryption of arbitrary bytes.
// Input: byte 0 even: the setup's own blob, the rest is the container;
// byte 0 odd: byte 1 is the blob's length k, then k blob bytes, then the container.
#include <cstring>

#include "fuzz/fuzz_input.h"
#include "package/aes_key.h"
#include "package/key_blob.h"
#include "package/package_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    CWBlock blob, container;
    size_t at = 1;
    if (data[0] & 1) {
        if (size < 2) return 0;
        const size_t length = data[1] < size - 2 ? data[1] : size - 2;
        FuzzFill(blob, data + 2, length);
        at = 2 + length;
    } else {
        uint8_t own[kKeyBlobSize];
        WriteKeyBlob(own);
        blob.Append(own, kKeyBlobSize);
    }
    const size_t n = size - at;
    // The trailer is read after decryption: where the last whole 16-byte
    // block covers it, its value is unforeseeable (and may grow the block by
    // gigabytes). Only containers whose trailer stays plain are tried, and
    // of those none whose trailer lies far beyond the data.
    if (n >= 16 && n % 16 < 4) return 0;
    if (n >= 4 && FuzzU32(data + size - 4) > n + (1u << 20)) return 0;
    FuzzFill(container, data + at, n);

    CWCryptAESKey key;
    FUZZ_CHECK(key.ImportKeyBlob(blob) == 0);
    FUZZ_CHECK(key.IsKeyed() == 1);
    const int result = key.Decrypt(container);
    if (n == 0) {
        FUZZ_CHECK(result == 0 && container.GetLength() == 0);
        return 0;
    }
    if (n < 4) {
        FUZZ_CHECK(result == -2);
        FUZZ_CHECK(container.GetLength() == n && std::memcmp(container.GetData(), data + at, n) == 0);
        return 0;
    }
    FUZZ_CHECK(result == 0);
    const uint32_t trailer = FuzzU32(data + size - 4);
    FUZZ_CHECK(container.GetLength() == trailer);
    // Bytes past a whole 16-byte block are never decrypted.
    const size_t whole = n / 16 * 16;
    const size_t kept = trailer < n ? trailer : n;
    for (size_t i = whole; i < kept; ++i) FUZZ_CHECK(container.GetData()[i] == data[at + i]);
    for (size_t i = n; i < trailer; ++i) FUZZ_CHECK(container.GetData()[i] == 0);

    // What the setup does next with the decrypted bytes.
    if (container.GetLength() >= 4 && FuzzU32(container.GetData()) <= kFuzzMaxDeclared) {
        CWBlock package;
        const int status = InflatePackage(container, package);
        FUZZ_CHECK(status == 0 || status == -2 || status == -3);
    }
    return 0;
}
