#include "quantizer/BlockVector.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

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
        EXPECT_EQ(block.Augmentation(), 0);
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
    EXPECT_EQ(block.Values()[0], 22 / 510.0);
    EXPECT_EQ(block.Values()[1], 23 / 510.0);
    EXPECT_EQ(block.Values()[2], 32 / 510.0);
    EXPECT_EQ(block.Values()[3], 33 / 510.0);
    // N = 510; N^2 - S = 260100 - 3906 = 256194, sqrt = 506.156... -> 506.
    EXPECT_EQ(block.Augmentation(), 506);
    EXPECT_EQ(block.Values()[4], 506.0 / 510.0);
    double length = 0;
    for (int i = 0; i <= 4; ++i) length += block.Values()[i] * block.Values()[i];
    EXPECT_LE(length, 1.0);
}

// The sums the sketch is built from, against the same sums taken one sample
// at a time, on blocks of every side at an offset in a noisy plane.
TEST(BlockVectorTest, SumsAndComponentsMatchTheSamples) {
    Plane plane(30, 30);
    std::uint32_t seed = 7;
    for (std::uint32_t i = 0; i < 30; ++i) {
        for (std::uint32_t j = 0; j < 30; ++j) {
            seed = seed * 1103515245u + 12345u;
            plane[i][j] = static_cast<std::uint8_t>(seed >> 23);
        }
    }
    for (std::uint32_t side = 1; side <= 12; ++side) {
        BlockVector block;
        block.Resize(side * side);
        std::vector<double> into(side * side + 1, -1.0);
        block.GatherInto(plane, 5, 3, into.data());
        const double scale = static_cast<double>(block.Scale());
        std::int64_t sum = 0, squares = 0, across = 0, down = 0;
        for (std::uint32_t i = 0; i < side; ++i) {
            for (std::uint32_t j = 0; j < side; ++j) {
                const std::int64_t x = plane[5 + i][3 + j];
                sum += x;
                squares += x * x;
                across += j < side / 2 ? x : j >= side - side / 2 ? -x : 0;
                down += i < side / 2 ? x : i >= side - side / 2 ? -x : 0;
                EXPECT_EQ(into[i * side + j], static_cast<double>(x) / scale) << side;
            }
        }
        EXPECT_EQ(block.PixelSum(), sum) << side;
        EXPECT_EQ(block.SumOfSquares(), squares) << side;
        EXPECT_EQ(block.AcrossDifference(), across) << side;
        EXPECT_EQ(block.DownDifference(), down) << side;
        const auto augmentation = static_cast<std::int64_t>(std::sqrt(static_cast<double>(block.Scale() * block.Scale() - squares)));
        EXPECT_EQ(block.Augmentation(), augmentation) << side;
        EXPECT_EQ(into[side * side], static_cast<double>(augmentation) / scale) << side;
    }
}

// A block's pixel bytes normalise to the very doubles (augmentation
// included) that gathering the same block from a plane gives.
TEST(BlockVectorTest, PixelBytesNormaliseLikeTheBlockInAPlane) {
    Plane plane(20, 20);
    std::uint32_t seed = 11;
    for (std::uint32_t i = 0; i < 20; ++i) {
        for (std::uint32_t j = 0; j < 20; ++j) {
            seed = seed * 1103515245u + 12345u;
            plane[i][j] = static_cast<std::uint8_t>(seed >> 23);
        }
    }
    for (std::uint32_t side = 1; side <= 12; ++side) {
        const std::uint32_t d = side * side;
        BlockVector block;
        block.Resize(d);
        std::vector<std::uint8_t> pixels;
        for (std::uint32_t i = 0; i < side; ++i)
            for (std::uint32_t j = 0; j < side; ++j) pixels.push_back(plane[4 + i][6 + j]);
        std::vector<double> fromPixels(d + 1, -1.0), fromPlane(d + 1, -2.0);
        block.NormalisePixels(pixels.data(), fromPixels.data());
        block.GatherInto(plane, 4, 6, fromPlane.data());
        EXPECT_EQ(fromPixels, fromPlane) << side;
        EXPECT_GT(fromPixels[d], 0.0) << side;
    }
}

}  // namespace
}  // namespace pictora
