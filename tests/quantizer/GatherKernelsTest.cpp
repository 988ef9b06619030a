#include "quantizer/GatherKernels.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "common/HighwayTargets.h"

namespace pictora {
namespace {

using testing::ForEachTarget;

// Blocks of every side at every column offset within a vector, their pixels
// drawn from the whole byte range with runs of 255 (the largest sums); any
// signs, not only the halves' ones. Every target gives the plain loop's sums
// and quotients, adds to the sums it is given, and writes nothing past the
// block's side * side components.
TEST(GatherKernelsTest, BlocksAreThePlainGatherOnEveryTarget) {
    constexpr double kGuard = -7.0;
    std::mt19937_64 random(5);
    ForEachTarget([&] {
        for (std::uint32_t side = 1; side <= 12; ++side) {
            for (int round = 0; round < 20; ++round) {
                const std::uint32_t column = static_cast<std::uint32_t>(random() % 9);
                std::vector<std::vector<std::uint8_t>> rows(side, std::vector<std::uint8_t>(column + side));
                std::vector<const std::uint8_t*> lines;
                for (std::vector<std::uint8_t>& row : rows) {
                    for (std::uint8_t& x : row) x = round % 4 == 0 ? 255 : static_cast<std::uint8_t>(random());
                    lines.push_back(row.data());
                }
                std::vector<std::int32_t> columnSigns(side), lineSigns(side);
                for (std::int32_t& sign : columnSigns) sign = static_cast<std::int32_t>(random() % 3) - 1;
                for (std::int32_t& sign : lineSigns) sign = static_cast<std::int32_t>(random() % 3) - 1;
                const double scale = 255.0 * side + static_cast<double>(random() % 7);
                std::vector<double> expected(side * side + 1, kGuard), out(side * side + 1, kGuard);
                PixelSums plain{1, 2, 3, 4};
                PixelSums sums{1, 2, 3, 4};
                PlainGatherBlock(lines.data(), column, side, scale, columnSigns.data(), lineSigns.data(),
                                 expected.data(), plain);
                GatherBlock(lines.data(), column, side, scale, columnSigns.data(), lineSigns.data(), out.data(), sums);
                ASSERT_EQ(out, expected) << "side " << side << " round " << round;
                EXPECT_EQ(out.back(), kGuard);
                EXPECT_EQ(sums.sum, plain.sum);
                EXPECT_EQ(sums.squares, plain.squares);
                EXPECT_EQ(sums.across, plain.across);
                EXPECT_EQ(sums.down, plain.down);
            }
        }
    });
}

}  // namespace
}  // namespace pictora
