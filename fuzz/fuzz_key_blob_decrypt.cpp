// Key-blob import and two-layer decryption of arbitrary bytes (the input's
// layout: fuzz/key_blob_input.h), on both AES engines.
#include <cstring>

#include "fuzz/fuzz_input.h"
#include "fuzz/key_blob_input.h"
#include "package/aes_engine.h"
#include "package/aes_key.h"
#include "package/package_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CWBlock blob, container;
    const size_t at = SplitKeyBlobInput(data, size, blob);
    if (at == 0) return 0;
    const size_t n = size - at;
    FuzzFill(container, data + at, n);
    CWBlock tableCopy;
    FuzzFill(tableCopy, data + at, n);

    CWCryptAESKey key;
    FUZZ_CHECK(key.ImportKeyBlob(blob) == 0);
    FUZZ_CHECK(key.IsKeyed() == 1);
    const uint32_t capacity = container.GetCapacity();
    const int result = key.Decrypt(container);
    // The table form gives the same result and the same bytes as the engine
    // in use (AES-NI where the processor has it).
    const AesEngine engine = ActiveAesEngine();
    SelectAesEngine(AesEngine::kTableForm);
    FUZZ_CHECK(key.Decrypt(tableCopy) == result);
    SelectAesEngine(engine);
    FUZZ_CHECK(tableCopy.GetLength() == container.GetLength());
    if (container.GetLength() > 0)
        FUZZ_CHECK(std::memcmp(tableCopy.GetData(), container.GetData(), container.GetLength()) == 0);
    if (n == 0) {
        FUZZ_CHECK(result == 0 && container.GetLength() == 0);
        return 0;
    }
    if (n < 4) {
        FUZZ_CHECK(result == -2);
        FUZZ_CHECK(container.GetLength() == n && std::memcmp(container.GetData(), data + at, n) == 0);
        return 0;
    }
    // Whatever the trailer says, the block is never grown: cut, or emptied.
    FUZZ_CHECK(result == 0 || result == -2);
    FUZZ_CHECK(container.GetCapacity() == capacity && container.GetLength() <= n);
    if (result == -2) FUZZ_CHECK(container.GetLength() == 0);
    // Where no whole 16-byte block covers the trailer it is the input's own
    // last 4 bytes, and the bytes after the last whole block stay as they were.
    if (n < 16 || n % 16 >= 4) {
        const uint32_t trailer = FuzzU32(data + size - 4);
        FUZZ_CHECK(result == (trailer > n ? -2 : 0));
        if (result == 0) {
            FUZZ_CHECK(container.GetLength() == trailer);
            for (size_t i = n / 16 * 16; i < trailer; ++i) FUZZ_CHECK(container.GetData()[i] == data[at + i]);
        }
    }

    // What the setup does next with the decrypted bytes.
    CWBlock package;
    const int status = InflatePackage(container, package);
    FUZZ_CHECK(status == 0 || status == -2 || status == -3);
    return 0;
}
