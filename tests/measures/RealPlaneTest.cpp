#include "measures/RealPlane.h"

#include <gtest/gtest.h>

#include "measures/MeasuresTestPlanes.h"

namespace pictora {
namespace {

TEST(Halving, OddLastRowAndColumnAreDropped) {
    // Samples 10 * i + j: each 2 x 2 mean is the value at its centre.
    const Plane plane = testing::MakePlane(5, 7, [](std::uint32_t i, std::uint32_t j) {
        return static_cast<std::uint8_t>(10 * i + j);
    });
    const RealPlane half = Halved(plane);
    ASSERT_EQ(half.Height(), 2u);
    ASSERT_EQ(half.Width(), 3u);
    for (std::uint32_t i = 0; i < 2; ++i)
        for (std::uint32_t j = 0; j < 3; ++j) EXPECT_EQ(half.Row(i)[j], 10.0 * (2 * i + 0.5) + (2 * j + 0.5));

    // Quarters stay exact: nothing is rounded back to whole samples.
    const RealPlane quarter = Halved(half);
    ASSERT_EQ(quarter.Height(), 1u);
    ASSERT_EQ(quarter.Width(), 1u);
    EXPECT_EQ(quarter.Row(0)[0], 16.5);
}

TEST(Halving, KeepsFractions) {
    const Plane plane = testing::MakePlane(2, 2, [](std::uint32_t i, std::uint32_t j) {
        return static_cast<std::uint8_t>(i == 0 && j == 0 ? 1 : 0);
    });
    EXPECT_EQ(Halved(plane).Row(0)[0], 0.25);
    EXPECT_EQ(Halved(testing::MakePlane(1, 9, [](std::uint32_t, std::uint32_t) { return std::uint8_t{1}; })).Height(),
              0u);
}

}  // namespace
}  // namespace pictora
