#include "quantizer/WeightKernels.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "common/HighwayTargets.h"

namespace pictora {
namespace {

using testing::ForEachTarget;

// Weights and vectors of very different sizes, now and then an infinity or a
// NaN, rates inside and outside 0 .. 1, every length from one component to
// past the largest block's: every target moves every weight to the plain
// formula's double (a fused multiply-add or another order would differ), and
// touches nothing past `count`.
TEST(WeightKernelsTest, MovesAreThePlainFormulaBitForBitOnEveryTarget) {
    constexpr double kGuard = -3.5;
    const double special[] = {std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN(), -0.0};
    std::mt19937_64 random(13);
    const auto awkward = [&] {
        if (random() % 100 == 0) return special[random() % 3];
        const double mantissa = std::uniform_real_distribution<double>(-1.0, 1.0)(random);
        return std::ldexp(mantissa, static_cast<int>(random() % 41) - 20);
    };
    ForEachTarget([&] {
        for (std::uint32_t count = 1; count <= 150; count += count < 20 ? 1 : 16) {
            std::vector<double> weights(count + 1, kGuard), vector(count);
            for (std::uint32_t i = 0; i < count; ++i) {
                weights[i] = awkward();
                vector[i] = awkward();
            }
            const double alfa = count % 5 == 0 ? 1.75 : std::uniform_real_distribution<double>(0.0, 1.0)(random);
            std::vector<double> expected = weights;
            for (std::uint32_t i = 0; i < count; ++i) {
                const double delta = (vector[i] - expected[i]) * alfa;
                expected[i] = expected[i] + delta;
            }
            MoveWeightsToward(weights.data(), vector.data(), count, alfa);
            for (std::uint32_t i = 0; i <= count; ++i) {
                ASSERT_EQ(std::bit_cast<std::uint64_t>(weights[i]), std::bit_cast<std::uint64_t>(expected[i]))
                    << count << " components, weight " << i;
            }
        }
    });
}

}  // namespace
}  // namespace pictora
