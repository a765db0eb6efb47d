#include <gtest/gtest.h>

#include "package/package_format.h"
#include "tests/native/package/image_builder.h"

namespace {

// A 32-bit process cannot commit a block of nearly 4 GiB.
TEST(InflatePackage, ADeclaredSizeThatCannotBeAllocatedIsMinusThree) {
    CWBlock image, package;
    Fill(image, CompressedImage(0xFFFFFFF0u, Pattern(100, 1)));
    EXPECT_EQ(-3, InflatePackage(image, package));
    EXPECT_EQ(0u, package.GetLength());
    Fill(image, CompressedImage(100, Pattern(100, 1)));
    EXPECT_EQ(0, InflatePackage(image, package)) << "and the next run still works";
}

}  // namespace
