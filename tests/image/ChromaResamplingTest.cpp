#include <gtest/gtest.h>

#include "image/ChromaResampling.h"

namespace pictora {
namespace {

// Sample (i, j) = 10 i + j.
Plane Numbered(std::uint32_t rows, std::uint32_t columns) {
    Plane plane(rows, columns);
    for (std::uint32_t i = 0; i < rows; ++i)
        for (std::uint32_t j = 0; j < columns; ++j) plane[i][j] = static_cast<std::uint8_t>(10 * i + j);
    return plane;
}

TEST(ChromaResampling, DecimatePicksTopLeftOfEachGroupAndKeepsTheRest) {
    Plane plane = Numbered(5, 7);
    Decimate420(5, 7, plane);
    for (std::uint32_t i = 0; i < 5; ++i)
        for (std::uint32_t j = 0; j < 7; ++j)
            EXPECT_EQ(plane[i][j], (i < 2 && j < 3) ? 20 * i + 2 * j : 10 * i + j) << i << "," << j;

    Plane row = Numbered(1, 6);
    Decimate420(1, 6, row);
    EXPECT_EQ(row, Numbered(1, 6));
}

TEST(ChromaResampling, UpsampleReplicatesAndLeavesTheOddEdgeUnwritten) {
    const Plane source = Numbered(2, 3);
    Plane destination(5, 7);
    destination.Fill(99);
    Upsample420(2, 3, destination, source);
    for (std::uint32_t r = 0; r < 5; ++r)
        for (std::uint32_t c = 0; c < 7; ++c)
            EXPECT_EQ(destination[r][c], (r < 4 && c < 6) ? source[r / 2][c / 2] : 99) << r << "," << c;

    Plane untouched(2, 2);
    Upsample420(0, 1, untouched, source);
    Upsample420(1, 0, untouched, source);
    EXPECT_EQ(untouched, Plane(2, 2));
}

}  // namespace
}  // namespace pictora
