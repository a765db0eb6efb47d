#include <gtest/gtest.h>

#include "package/package_format.h"
#include "tests/native/package/image_builder.h"

namespace {

// Nearly 4 GiB declared for a 100-byte stream: refused in both builds without
// committing it (a 64-bit process could, and would zero-fill gigabytes).
TEST(InflatePackage, ADeclaredSizeThatCannotBeAllocatedIsMinusThree) {
    CWBlock image, package;
    Fill(image, CompressedImage(0xFFFFFFF0u, Pattern(100, 1)));
    EXPECT_EQ(-3, InflatePackage(image, package));
    EXPECT_EQ(0u, package.GetLength());
    EXPECT_EQ(nullptr, package.GetData());
    Fill(image, CompressedImage(100, Pattern(100, 1)));
    EXPECT_EQ(0, InflatePackage(image, package)) << "and the next run still works";
}

}  // namespace
