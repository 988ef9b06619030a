#include "support/Plane.h"

#include <gtest/gtest.h>

#include "common/AllocationFailure.h"

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

// Memory running out while a plane grows leaves it as it was: its size, its
// rows and its samples agree, and nothing points into freed memory.
TEST(PlaneTest, RunningOutOfMemoryLeavesThePlaneAsItWas) {
    Plane plane(4, 5);
    plane.Fill(7);
    const Plane before = plane;
    const Plane large(40, 50);
    {
        testing::AllocationFailure failure(40 * 50, 0);
        EXPECT_THROW(plane.Allocate(40, 50), std::bad_alloc);
        EXPECT_THROW(plane = large, std::bad_alloc);
    }
    EXPECT_EQ(plane, before);
    EXPECT_EQ(plane.Height(), 4u);
    EXPECT_EQ(plane[3][4], 7);
    plane.Allocate(3, 2);  // smaller: the samples already there will do
    EXPECT_EQ(plane.Height(), 3u);
    EXPECT_EQ(plane[2][1], 0);
}

}  // namespace
}  // namespace pictora
