#include "quantizer/BlockVector.h"

#include <gtest/gtest.h>

#include <cmath>

namespace pictora {
namespace {

Plane ConstantPlane(std::uint32_t size, std::uint8_t value) {
    Plane plane(size, size);
    plane.Fill(value);
    return plane;
}

TEST(BlockVectorTest, BlackBlockIsTheAugmentationAxis) {
    for (std::uint32_t side : {1u, 3u, 8u, 12u}) {
        BlockVector block;
        block.Resize(side * side);
        block.Gather(ConstantPlane(side, 0), 0, 0);
        for (std::uint32_t i = 0; i < side * side; ++i) EXPECT_EQ(block.Values()[i], 0.0);
        EXPECT_EQ(block.Values()[side * side], 1.0);
    }
}

TEST(BlockVectorTest, WhiteBlockHasNoAugmentation) {
    for (std::uint32_t side : {3u, 5u, 7u, 9u}) {
        const std::uint32_t d = side * side;
        BlockVector block;
        block.Resize(d);
        block.Gather(ConstantPlane(side, 255), 0, 0);
        const double scale = side * 255.0;
        EXPECT_EQ(block.Pixels()[d], 0);
        for (std::uint32_t i = 0; i < d; ++i) EXPECT_EQ(block.Values()[i], 255 / scale);
    }
}

TEST(BlockVectorTest, GathersRowMajorFromTheCornerAndTruncatesTheAugmentation) {
    Plane plane(4, 4);
    for (std::uint32_t i = 0; i < 4; ++i)
        for (std::uint32_t j = 0; j < 4; ++j) plane[i][j] = static_cast<std::uint8_t>(10 * i + j);
    BlockVector block;
    block.Resize(4);
    block.Gather(plane, 2, 2);
    EXPECT_EQ(block.Pixels()[0], 22);
    EXPECT_EQ(block.Pixels()[1], 23);
    EXPECT_EQ(block.Pixels()[2], 32);
    EXPECT_EQ(block.Pixels()[3], 33);
    // N = 510; N^2 - S = 260100 - 3906 = 256194, sqrt = 506.156... -> 506.
    EXPECT_EQ(block.Pixels()[4], 506);
    EXPECT_EQ(block.Values()[4], 506.0 / 510.0);
    double length = 0;
    for (int i = 0; i <= 4; ++i) length += block.Values()[i] * block.Values()[i];
    EXPECT_LE(length, 1.0);
}

}  // namespace
}  // namespace pictora
