#include "image/DifferenceKernels.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "common/HighwayTargets.h"

namespace pictora {
namespace {

using testing::ForEachTarget;

// Lengths around every vector width and around the chunks the kernel empties
// its 32-bit lanes after; rows start at odd addresses too.
TEST(DifferenceKernelsTest, SquaredErrorsAreThePlainSumsOnEveryTarget) {
    std::mt19937 random(11);
    std::uniform_int_distribution<int> byte(0, 255);
    const std::size_t lengths[] = {0, 1, 7, 8, 15, 16, 17, 31, 32, 33, 63, 64, 65, 100, 4095, 4096, 4097, 8193, 70001};
    ForEachTarget([&] {
        for (std::size_t length : lengths) {
            for (std::size_t offset : {0u, 1u, 3u}) {
                std::vector<std::uint8_t> a(length + offset);
                std::vector<std::uint8_t> b(length + offset);
                for (std::size_t k = 0; k < a.size(); ++k) {
                    a[k] = static_cast<std::uint8_t>(byte(random));
                    b[k] = static_cast<std::uint8_t>(byte(random));
                }
                EXPECT_EQ(SumOfSquaredDifferences(a.data() + offset, b.data() + offset, length),
                          PlainSumOfSquaredDifferences(a.data() + offset, b.data() + offset, length))
                    << length << " samples from offset " << offset;
            }
        }
    });
}

// The largest error in every sample, both ways round: a lane that kept a
// whole long row would overflow 32 bits.
TEST(DifferenceKernelsTest, TheLargestErrorsOfALongRowDoNotOverflow) {
    constexpr std::size_t kLength = 1000003;
    const std::vector<std::uint8_t> black(kLength, 0);
    const std::vector<std::uint8_t> white(kLength, 255);
    ForEachTarget([&] {
        EXPECT_EQ(SumOfSquaredDifferences(black.data(), white.data(), kLength), std::uint64_t{kLength} * 65025);
        EXPECT_EQ(SumOfSquaredDifferences(white.data(), black.data(), kLength), std::uint64_t{kLength} * 65025);
        EXPECT_EQ(SumOfSquaredDifferences(white.data(), white.data(), kLength), 0u);
    });
}

}  // namespace
}  // namespace pictora
