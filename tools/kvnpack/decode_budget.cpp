#include "tools/kvnpack/decode_budget.h"

namespace {

constexpr uint64_t kMiB = uint64_t(1) << 20;
constexpr uint64_t kPage = 4096;

uint64_t Pages(uint64_t bytes) {
    return (bytes + kPage - 1) / kPage * kPage;
}

std::string InMiB(uint64_t bytes) {
    return std::to_string((bytes + kMiB - 1) / kMiB) + " MiB";
}

}  // namespace

// Measured with tests/win32/kvnpack/measure-decode-limit on the i686 decode
// under Wine 8 (large-address-aware, 64-bit prefix), incompressible files of
// 16 MiB: packages of 700, 850 and 925 MiB (figures 2116, 2566, 2791 MiB)
// decode, 1000 MiB (3016) does not. The script builds kvnpack with a higher
// limit to measure. The limit is the largest figure that decoded.
#ifndef KVNPACK_DECODE_PEAK_LIMIT_MIB
#define KVNPACK_DECODE_PEAK_LIMIT_MIB 2791
#endif
const uint64_t kDecodePeakLimit = uint64_t(KVNPACK_DECODE_PEAK_LIMIT_MIB) * kMiB;

// Block B holds the whole image in one piece: 1792 MiB of zeros (a payload
// of 2 MiB) decodes; nothing larger was measured.
const uint64_t kLargestImage = uint64_t(1792) * kMiB;

uint64_t DecodePeak(const DecodeNeeds& needs) {
    return Pages(needs.payload) * 2 + Pages(needs.image) + Pages(needs.largestFile);
}

bool CheckDecodeFits(const DecodeNeeds& needs, std::string& error) {
    if (Pages(needs.image) > kLargestImage) {
        error = "the 32-bit setup could not hold this package while it installs it: its package image of " +
                InMiB(needs.image) + " must lie in one piece of memory, and " + InMiB(kLargestImage) +
                " is the most measured to fit";
        return false;
    }
    const uint64_t peak = DecodePeak(needs);
    if (peak <= kDecodePeakLimit) return true;
    error = "the 32-bit setup could not hold this package while it installs it: the decode needs " +
            InMiB(peak) + " at once (twice the payload of " + InMiB(needs.payload) +
            ", the package image of " + InMiB(needs.image) + ", the largest file of " +
            InMiB(needs.largestFile) + "), and " + InMiB(kDecodePeakLimit) + " is the most it has";
    return false;
}
