#include "measures/BitsPerPixel.h"

#include <gtest/gtest.h>

namespace pictora {
namespace {

TEST(BitsPerPixelTest, EightBitsPerByteOverThePixels) {
    EXPECT_EQ(BitsPerPixel(1000, 100, 80), 1.0);
    EXPECT_EQ(BitsPerPixel(3, 2, 2), 6.0);
    EXPECT_EQ(BitsPerPixel(std::uint64_t{1} << 40, 65535, 65535), 8.0 * 1099511627776.0 / (65535.0 * 65535.0));
    EXPECT_EQ(BitsPerPixel(100, 0, 50), 0.0);
}

}  // namespace
}  // namespace pictora
