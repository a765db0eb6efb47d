// The key blob of the setup's payload: u32 format 1, u32 16 and the 16 key
// bytes, u32 16 and the 16 IV bytes, little-endian. The packaging tool and the
// setup's decoding pipeline both take the blob from here. The bytes are set
// one by one, so the blob is never stored as one constant.
#include "package/key_blob.h"

namespace {

void PutU32(uint8_t* at, uint32_t value) {
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
    at[2] = static_cast<uint8_t>(value >> 16);
    at[3] = static_cast<uint8_t>(value >> 24);
}

}  // namespace

void WriteKeyBlob(uint8_t blob[kKeyBlobSize]) {
    PutU32(blob + 0, 1);

    PutU32(blob + 4, 16);
    uint8_t* key = blob + 8;
    key[0] = 0x88;
    key[1] = 0xc9;
    key[2] = 0xad;
    key[3] = 0xb9;
    key[4] = 0x97;
    key[5] = 0x65;
    key[6] = 0x32;
    key[7] = 0x61;
    key[8] = 0x49;
    key[9] = 0xf3;
    key[10] = 0x88;
    key[11] = 0x55;
    key[12] = 0x06;
    key[13] = 0xac;
    key[14] = 0x18;
    key[15] = 0x62;

    PutU32(blob + 24, 16);
    uint8_t* iv = blob + 28;
    iv[0] = 0xe5;
    iv[1] = 0x06;
    iv[2] = 0xa0;
    iv[3] = 0x43;
    iv[4] = 0xab;
    iv[5] = 0x98;
    iv[6] = 0x6a;
    iv[7] = 0x9e;
    iv[8] = 0xb8;
    iv[9] = 0xfc;
    iv[10] = 0xb5;
    iv[11] = 0xdf;
    iv[12] = 0xb2;
    iv[13] = 0xd0;
    iv[14] = 0xb3;
    iv[15] = 0xc8;
}
