#pragma once
// The setup's 44-byte key blob: format 1, a 16-byte key field and a 16-byte
// IV field. Written byte by byte at run time; never one stored constant.
#include <cstdint>

constexpr uint32_t kKeyBlobSize = 44;
void WriteKeyBlob(uint8_t blob[kKeyBlobSize]);
