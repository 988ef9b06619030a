#include "quantizer/SketchKernels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "common/HighwayTargets.h"

namespace pictora {
namespace {

using testing::ForEachTarget;

// Every length from none to the largest block's, whole vectors and tails,
// components of both signs and very different sizes: each sum is within the
// promised count ulps of the sum of its terms' magnitudes (taken here in long
// double), and the largest magnitude is exact, wherever it sits.
TEST(SketchKernelsTest, SumsAreWithinTheirBoundOnEveryTarget) {
    std::mt19937_64 random(9);
    ForEachTarget([&] {
        for (std::uint32_t count = 0; count <= 145; count += count < 20 ? 1 : 25) {
            std::vector<double> vector(count), leftRight(count), topBottom(count);
            for (std::uint32_t i = 0; i < count; ++i) {
                const double mantissa = std::uniform_real_distribution<double>(-1.0, 1.0)(random);
                vector[i] = std::ldexp(mantissa, static_cast<int>(random() % 40) - 20);
                leftRight[i] = static_cast<double>(static_cast<int>(random() % 3) - 1) * 0.125;
                topBottom[i] = static_cast<double>(static_cast<int>(random() % 3) - 1) * 0.125;
            }
            long double sum = 0, across = 0, down = 0, squares = 0;
            long double sumSize = 0, acrossSize = 0, downSize = 0;
            double largest = 0.0;
            for (std::uint32_t i = 0; i < count; ++i) {
                const long double x = vector[i];
                sum += x;
                across += x * leftRight[i];
                down += x * topBottom[i];
                squares += x * x;
                sumSize += std::fabs(x);
                acrossSize += std::fabs(x * leftRight[i]);
                downSize += std::fabs(x * topBottom[i]);
                largest = std::max(largest, std::abs(vector[i]));
            }
            const ComponentSums sums = SumComponents(vector.data(), leftRight.data(), topBottom.data(), count);
            const long double ulps = (count + 1) * 0x1p-52L;
            EXPECT_LE(std::fabs(sums.sum - sum), ulps * sumSize) << count;
            EXPECT_LE(std::fabs(sums.across - across), ulps * acrossSize) << count;
            EXPECT_LE(std::fabs(sums.down - down), ulps * downSize) << count;
            EXPECT_LE(std::fabs(sums.squares - squares), ulps * squares) << count;
            EXPECT_EQ(sums.largest, largest) << count;
        }
    });
}

}  // namespace
}  // namespace pictora
