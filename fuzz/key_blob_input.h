#pragma once
// The input of the key-blob target, also read by the native tests that run
// its corpus: byte 0 even: the setup's own blob, the rest is the container;
// byte 0 odd: byte 1 is the blob's length k, then k blob bytes, then the
// container. Fills blob and returns the container's offset in data, or 0 for
// an input too short to say.
#include <cstddef>
#include <cstdint>

#include "foundation/block.h"
#include "package/key_blob.h"

inline size_t SplitKeyBlobInput(const uint8_t* data, size_t size, CWBlock& blob) {
    if (size < 1) return 0;
    if (data[0] & 1) {
        if (size < 2) return 0;
        const size_t length = data[1] < size - 2 ? data[1] : size - 2;
        if (length > 0) blob.Append(data + 2, static_cast<uint32_t>(length));
        return 2 + length;
    }
    uint8_t own[kKeyBlobSize];
    WriteKeyBlob(own);
    blob.Append(own, kKeyBlobSize);
    return 1;
}
