#include <gtest/gtest.h>

#include <algorithm>
#include <string>

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

// Every sample of an h x w plane is written, odd sizes included:
// dst(r, c) = src(min(r/2, h/2 - 1), min(c/2, w/2 - 1)).
TEST(ChromaResampling, UpsampleWritesEverySampleAndRepeatsTheLastAtAnOddSize) {
    for (std::uint32_t rows = 2; rows <= 7; ++rows) {
        for (std::uint32_t columns = 2; columns <= 7; ++columns) {
            SCOPED_TRACE(std::to_string(columns) + " x " + std::to_string(rows));
            const Plane source = Numbered(rows / 2, columns / 2);
            Plane destination(rows, columns);
            destination.Fill(99);
            Upsample420(rows, columns, destination, source);
            for (std::uint32_t r = 0; r < rows; ++r)
                for (std::uint32_t c = 0; c < columns; ++c)
                    EXPECT_EQ(destination[r][c], source[std::min(r / 2, rows / 2 - 1)][std::min(c / 2, columns / 2 - 1)])
                        << r << "," << c;
        }
    }
}

TEST(ChromaResampling, UpsampleOfAnEmptyHalfWritesNothing) {
    const Plane source = Numbered(2, 3);
    Plane untouched(2, 2);
    untouched.Fill(7);
    Upsample420(1, 2, untouched, source);
    Upsample420(2, 1, untouched, source);
    Plane sevens(2, 2);
    sevens.Fill(7);
    EXPECT_EQ(untouched, sevens);
}

}  // namespace
}  // namespace pictora
