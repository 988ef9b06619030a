#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "image/BoxFilter.h"

namespace pictora {
namespace {

Plane Constant(std::uint32_t side, std::uint8_t value) {
    Plane plane(side, side);
    plane.Fill(value);
    return plane;
}

// The window mean computed the plain way, one window at a time.
Plane ReferenceFilter(const Plane& plane, int side) {
    const int reach = side / 2;
    const int rows = static_cast<int>(plane.Height());
    const int columns = static_cast<int>(plane.Width());
    Plane out(plane.Height(), plane.Width());
    for (int i = 0; i < rows; ++i) {
        for (int j = 0; j < columns; ++j) {
            int sum = 0;
            for (int r = std::max(0, i - reach); r <= std::min(rows - 1, i + reach); ++r)
                for (int c = std::max(0, j - reach); c <= std::min(columns - 1, j + reach); ++c) sum += plane[r][c];
            out[i][j] = static_cast<std::uint8_t>(static_cast<int>(sum * (1.0 / (side * side))));
        }
    }
    return out;
}

TEST(BoxFilter, BordersCountMissingPositionsAsZero) {
    Plane plane = Constant(5, 90);
    BoxFilter(plane, 5, 5, LowPassFilter::Box3);
    EXPECT_EQ(plane[2][2], 90);
    EXPECT_EQ(plane[0][0], 40);
    EXPECT_EQ(plane[4][4], 40);
    EXPECT_EQ(plane[0][2], 60);
    EXPECT_EQ(plane[3][4], 60);
}

TEST(BoxFilter, MultipliesByTheReciprocalInsteadOfDividing) {
    Plane plane = Constant(9, 1);
    BoxFilter(plane, 9, 9, LowPassFilter::Box7);
    EXPECT_EQ(plane[4][4], 0);  // 49 * (1.0 / 49) is just below 1
}

TEST(BoxFilter, NoFilterLeavesThePlaneAlone) {
    Plane plane = Constant(4, 90);
    plane[1][2] = 3;
    const Plane before = plane;
    BoxFilter(plane, 4, 4, LowPassFilter::None);
    EXPECT_EQ(plane, before);
}

TEST(BoxFilter, MatchesWindowByWindowMeanForEverySize) {
    std::mt19937 random(7);
    Plane plane(13, 17);
    for (std::uint32_t i = 0; i < 13; ++i)
        for (std::uint32_t j = 0; j < 17; ++j) plane[i][j] = static_cast<std::uint8_t>(random());
    const LowPassFilter filters[] = {LowPassFilter::Box3, LowPassFilter::Box5, LowPassFilter::Box7, LowPassFilter::Box9};
    for (int index = 0; index < 4; ++index) {
        Plane filtered = plane;
        BoxFilter(filtered, 13, 17, filters[index]);
        EXPECT_EQ(filtered, ReferenceFilter(plane, 3 + 2 * index)) << index;
    }
}

}  // namespace
}  // namespace pictora
