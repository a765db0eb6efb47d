// SetKey when its cipher contexts cannot be allocated: nothing is thrown,
// the object is left unkeyed (Decrypt only cuts) and a later SetKey works.
#include <gtest/gtest.h>

#include <new>

#include "aes_test_util.h"
#include "package/aes_key.h"

namespace {
int g_nothrowCalls = 0;
int g_failNothrowCall = 0;  // the n-th nothrow allocation from now fails; 0: none
}  // namespace

// The nothrow form is replaced so that one chosen allocation can fail; the
// others come from the ordinary operator new, so delete matches them.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (g_failNothrowCall && ++g_nothrowCalls == g_failNothrowCall) return nullptr;
    try {
        return ::operator new(size);
    } catch (...) {
        return nullptr;
    }
}

namespace {

TEST(AesKeySetKey, ContextsThatCannotBeAllocatedLeaveTheKeyUnkeyed) {
    CWBlock material;
    Fill(material, RandomBytes(16, 30));
    const uint8_t iv[16] = {};
    Bytes data = RandomBytes(64, 31);
    PutU32(data, 10);
    for (int failing = 1; failing <= 4; ++failing) {
        CWCryptAESKey key;
        g_nothrowCalls = 0;
        g_failNothrowCall = failing;
        EXPECT_EQ(-1, key.SetKey(material, iv)) << "allocation " << failing;
        g_failNothrowCall = 0;
        EXPECT_EQ(0, key.IsKeyed()) << failing;
        CWBlock block;
        Fill(block, data);
        EXPECT_EQ(0, key.Decrypt(block));
        EXPECT_EQ(Bytes(data.begin(), data.begin() + 10), Contents(block)) << "no layer ran";
        EXPECT_EQ(0, key.SetKey(material, iv)) << "and the next SetKey keys it";
        EXPECT_EQ(1, key.IsKeyed());
    }
}

}  // namespace
