// InflatePackage over arbitrary compressed images, whatever S they declare.
#include "fuzz/fuzz_input.h"
#include "package/package_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CWBlock image, package;
    FuzzFill(image, data, size);
    const int status = InflatePackage(image, package);
    FUZZ_CHECK(status == 0 || status == -2 || status == -3);
    if (size < 4) {
        FUZZ_CHECK(status == -3 && package.GetData() == nullptr);
        return 0;
    }
    const uint64_t stream = size - 4;
    if (status == 0) FUZZ_CHECK(package.GetLength() == FuzzU32(data));
    // Memory follows the stream: no block beyond what deflate could produce
    // from it, doubled by the growth, whatever S says.
    FUZZ_CHECK(package.GetCapacity() <= 2 * (1032 * stream + 8 * stream + 4096));
    return 0;
}
