#include "support/Plane.h"

#include <gtest/gtest.h>

namespace pictora {
namespace {

TEST(PlaneTest, RowsAddressOneZeroFilledBuffer) {
    Plane plane(3, 5);
    EXPECT_EQ(plane.Height(), 3u);
    EXPECT_EQ(plane.Width(), 5u);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 5; ++j) EXPECT_EQ(plane[i][j], 0);
    plane[2][4] = 7;
    EXPECT_EQ(plane.Rows()[2][4], 7);
    EXPECT_EQ(plane[1] + 5, plane[2]);  // unpadded rows
}

TEST(PlaneTest, CopiesAndMovesKeepRowPointersValid) {
    Plane plane(2, 2);
    plane[1][1] = 9;
    Plane copy = plane;
    copy[1][1] = 4;
    EXPECT_EQ(plane[1][1], 9);
    EXPECT_EQ(copy[1][1], 4);

    Plane moved = std::move(copy);
    EXPECT_EQ(moved[1][1], 4);
    EXPECT_TRUE(copy.Empty());  // NOLINT(bugprone-use-after-move): moved-from planes are empty
    copy = moved;
    EXPECT_EQ(copy, moved);
    copy[0][0] = 1;
    EXPECT_FALSE(copy == moved);
}

TEST(PlaneTest, ReleaseEmptiesAndAllocateReplaces) {
    Plane plane(4, 4);
    plane.Fill(3);
    plane.Allocate(2, 3);
    EXPECT_EQ(plane[1][2], 0);
    plane.Release();
    EXPECT_TRUE(plane.Empty());
    EXPECT_EQ(plane.Height(), 0u);
    EXPECT_EQ(plane.Width(), 0u);
}

}  // namespace
}  // namespace pictora
