#include "image/Deblocking.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace pictora {
namespace {

constexpr DeblockStrength kStrengths[] = {DeblockStrength::Light, DeblockStrength::Medium, DeblockStrength::Strong};

Plane NoisyPlane(std::uint32_t rows, std::uint32_t columns) {
    Plane plane(rows, columns);
    std::mt19937 random(17);
    for (std::uint32_t i = 0; i < rows; ++i)
        for (std::uint32_t j = 0; j < columns; ++j) plane[i][j] = static_cast<std::uint8_t>(random());
    return plane;
}

// Blocks of one value each, neighbours a few levels apart (small steps, the
// kind the filter smooths), one block much brighter (a real edge).
Plane Mosaic(std::uint32_t rows, std::uint32_t columns, std::uint32_t side) {
    Plane plane(rows, columns);
    for (std::uint32_t i = 0; i < rows; ++i)
        for (std::uint32_t j = 0; j < columns; ++j)
            plane[i][j] = static_cast<std::uint8_t>(100 + 3 * ((i / side + 2 * (j / side)) % 5));
    return plane;
}

TEST(DeblockingTest, OffIsTheIdentity) {
    const Plane noisy = NoisyPlane(40, 52);
    for (std::uint32_t side = 1; side <= 12; ++side) {
        Plane plane = noisy;
        Deblock(plane, 40, 52, side, DeblockStrength::Off);
        EXPECT_EQ(plane, noisy) << side;
    }
}

TEST(DeblockingTest, AFlatPlaneStaysFlat) {
    for (std::uint32_t side = 2; side <= 12; ++side) {
        for (DeblockStrength strength : kStrengths) {
            Plane plane(37, 50);
            plane.Fill(77);
            const Plane flat = plane;
            Deblock(plane, 37, 50, side, strength);
            EXPECT_EQ(plane, flat) << side;
        }
    }
}

// Only the w = max(1, side / 4) samples next to each edge may change: the
// inside of every block, and everything outside the full blocks, stays.
TEST(DeblockingTest, ABlockAlignedMosaicKeepsTheInsideOfItsBlocks) {
    for (std::uint32_t side = 2; side <= 12; ++side) {
        const std::uint32_t rows = 5 * side + side / 2;
        const std::uint32_t columns = 6 * side + 1;
        const std::uint32_t w = std::max(1u, side / 4);
        for (DeblockStrength strength : kStrengths) {
            SCOPED_TRACE("side " + std::to_string(side));
            const Plane mosaic = Mosaic(rows, columns, side);
            Plane plane = mosaic;
            Deblock(plane, rows, columns, side, strength);
            bool smoothed = false;
            for (std::uint32_t i = 0; i < rows; ++i) {
                for (std::uint32_t j = 0; j < columns; ++j) {
                    const bool insideBlocks = i < rows / side * side && j < columns / side * side;
                    const auto nearEdge = [&](std::uint32_t k) { return k % side < w || k % side >= side - w; };
                    if (!insideBlocks || (!nearEdge(i) && !nearEdge(j))) {
                        ASSERT_EQ(plane[i][j], mosaic[i][j]) << i << ", " << j;
                    }
                    smoothed = smoothed || plane[i][j] != mosaic[i][j];
                }
            }
            EXPECT_TRUE(smoothed);
        }
    }
}

// Two flat 4 x 4 blocks, 100 and 106: E = 6, I = 0, so beta = 18 at strength
// 2; w = 1 and c(0) = floor(6 / 3 + 1/2) = 2.
TEST(DeblockingTest, ASmallStepBecomesARamp) {
    Plane plane(4, 8);
    for (std::uint32_t i = 0; i < 4; ++i)
        for (std::uint32_t j = 0; j < 8; ++j) plane[i][j] = j < 4 ? 100 : 106;
    Deblock(plane, 4, 8, 4, DeblockStrength::Medium);
    const std::uint8_t expected[8] = {100, 100, 100, 102, 104, 106, 106, 106};
    for (std::uint32_t i = 0; i < 4; ++i)
        for (std::uint32_t j = 0; j < 8; ++j) EXPECT_EQ(plane[i][j], expected[j]) << i << ", " << j;
}

// Sixty-two small steps of 2 and one of about 246 in the middle: the mean
// step across edges is about 5.9, so even at strength 3 beta is 27 and
// 8 beta = 216 leaves the large step sharp, while the small ones are smoothed.
TEST(DeblockingTest, ARealEdgeIsKept) {
    Plane plane(8, 512);
    for (std::uint32_t i = 0; i < 8; ++i)
        for (std::uint32_t j = 0; j < 512; ++j)
            plane[i][j] = static_cast<std::uint8_t>((j < 256 ? 2 : 250) + 2 * ((j / 8) % 2));
    const Plane before = plane;
    for (DeblockStrength strength : kStrengths) {
        plane = before;
        Deblock(plane, 8, 512, 8, strength);
        for (std::uint32_t i = 0; i < 8; ++i) {
            EXPECT_EQ(plane[i][255], before[i][255]);
            EXPECT_EQ(plane[i][256], before[i][256]);
            EXPECT_NE(plane[i][7], before[i][7]);
        }
    }
}

}  // namespace
}  // namespace pictora
