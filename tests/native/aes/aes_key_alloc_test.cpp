// SetKey when its cipher contexts cannot be allocated: nothing is thrown,
// the object is left unkeyed (Decrypt only cuts) and a later SetKey works.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "aes_test_util.h"
#include "package/aes_key.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KVN_OWN_NEW 0
#endif
#endif
#if !defined(KVN_OWN_NEW) && defined(__SANITIZE_ADDRESS__)
#define KVN_OWN_NEW 0
#endif
#ifndef KVN_OWN_NEW
#define KVN_OWN_NEW 1
#endif

namespace {
int g_nothrowCalls = 0;
int g_failNothrowCall = 0;  // the n-th nothrow allocation from now fails; 0: none
}  // namespace

#if KVN_OWN_NEW
// The sanitizers bring their own operator new; elsewhere the nothrow form is
// replaced so that one chosen allocation can fail.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (g_failNothrowCall && ++g_nothrowCalls == g_failNothrowCall) return nullptr;
    return std::malloc(size ? size : 1);
}
#endif

namespace {

TEST(AesKeySetKey, ContextsThatCannotBeAllocatedLeaveTheKeyUnkeyed) {
#if !KVN_OWN_NEW
    GTEST_SKIP() << "operator new belongs to the sanitizer here";
#endif
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
