#pragma once
// How large a package the 32-bit setup can install. While it decodes, it
// holds at once the payload resource (mapped with the program), block A (a
// copy of the payload, decrypted in place), block B (the whole package
// image) and the block of one file, each in one piece of its address space.
#include <cstdint>
#include <string>

struct DecodeNeeds {
    uint64_t payload = 0;      // bytes of the encrypted container
    uint64_t image = 0;        // bytes of the package image
    uint64_t largestFile = 0;  // bytes of the largest file record
};

// Bytes of address space the decode takes beyond the program itself.
uint64_t DecodePeak(const DecodeNeeds& needs);

// The most DecodePeak may be for the large-address-aware 32-bit setup on
// 64-bit Windows (measured under Wine, see decode_budget.cpp).
extern const uint64_t kDecodePeakLimit;
// The largest package image measured to decode (block B, one piece).
extern const uint64_t kLargestImage;

// false, with a message that gives the limit, when the 32-bit setup could
// not hold the package while it decodes it.
bool CheckDecodeFits(const DecodeNeeds& needs, std::string& error);
