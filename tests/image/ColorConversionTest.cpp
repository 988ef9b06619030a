#include <gtest/gtest.h>

#include <array>

#include "image/ColorConversion.h"

namespace pictora {
namespace {

using Triple = std::array<int, 3>;

// Converts one pixel, in place as the decoder does when `inverse` is set.
Triple Convert(Triple in, bool inverse) {
    Plane a(1, 1), b(1, 1), c(1, 1), x(1, 1), y(1, 1), z(1, 1);
    a[0][0] = static_cast<std::uint8_t>(in[0]);
    b[0][0] = static_cast<std::uint8_t>(in[1]);
    c[0][0] = static_cast<std::uint8_t>(in[2]);
    if (inverse) {
        YCbCrToRgb(1, 1, a, b, c, a, b, c);
        return {a[0][0], b[0][0], c[0][0]};
    }
    RgbToYCbCr(1, 1, a, b, c, x, y, z);
    return {x[0][0], y[0][0], z[0][0]};
}

TEST(ColorConversion, ForwardTruncatesWithoutRounding) {
    EXPECT_EQ(Convert({0, 0, 0}, false), (Triple{16, 128, 128}));
    EXPECT_EQ(Convert({255, 255, 255}, false), (Triple{235, 128, 128}));  // Y is 235.045
    EXPECT_EQ(Convert({255, 0, 0}, false), (Triple{81, 90, 239}));
    EXPECT_EQ(Convert({0, 0, 255}, false), (Triple{40, 239, 109}));
}

TEST(ColorConversion, InverseClampsThenTruncates) {
    EXPECT_EQ(Convert({16, 128, 128}, true), (Triple{0, 0, 0}));
    EXPECT_EQ(Convert({235, 128, 128}, true), (Triple{254, 254, 254}));  // 254.9379
    EXPECT_EQ(Convert({235, 240, 240}, true), (Triple{255, 120, 255}));
    EXPECT_EQ(Convert({16, 16, 16}, true), (Triple{0, 134, 0}));
}

}  // namespace
}  // namespace pictora
