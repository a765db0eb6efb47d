// InflatePackage over arbitrary compressed images.
#include "fuzz/fuzz_input.h"
#include "package/package_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size >= 4 && FuzzU32(data) > kFuzzMaxDeclared) return 0;
    CWBlock image, package;
    FuzzFill(image, data, size);
    const int status = InflatePackage(image, package);
    FUZZ_CHECK(status == 0 || status == -2 || status == -3);
    if (size < 4) FUZZ_CHECK(status == -3 && package.GetData() == nullptr);
    if (status == 0) FUZZ_CHECK(package.GetLength() == FuzzU32(data));
    return 0;
}
