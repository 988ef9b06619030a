#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "measures/ParetoFront.h"
#include "measures/RdPoints.h"

namespace pictora {
namespace {

using Points = testing::RdList;
using testing::AsPoints;

Points Front(const Points& family) { return testing::AsRd(ParetoFront(AsPoints(family), QualityMeasure::Psnr)); }

TEST(ParetoFrontTest, KeepsTheUnbeatenPointsSortedByQuality) {
    const Points family = {{2.0, 35.0}, {0.5, 28.0}, {1.0, 30.0}, {1.5, 29.0}, {3.0, 34.0}, {0.8, 31.0}};
    // (1.0, 30) loses to (0.8, 31); (1.5, 29) to (0.8, 31); (3.0, 34) to (2.0, 35).
    EXPECT_EQ(Front(family), (Points{{0.5, 28.0}, {0.8, 31.0}, {2.0, 35.0}}));
}

TEST(ParetoFrontTest, TiesGoToTheBetterOtherCoordinateAndTwinsCollapse) {
    // Equal bpp: the higher quality wins, in either input order.
    EXPECT_EQ(Front(Points{{1.0, 30.0}, {1.0, 32.0}}), (Points{{1.0, 32.0}}));
    EXPECT_EQ(Front(Points{{1.0, 32.0}, {1.0, 30.0}}), (Points{{1.0, 32.0}}));
    // Equal quality: the lower bpp wins.
    EXPECT_EQ(Front(Points{{2.0, 30.0}, {1.0, 30.0}}), (Points{{1.0, 30.0}}));
    EXPECT_EQ(Front(Points{{1.0, 30.0}, {2.0, 30.0}}), (Points{{1.0, 30.0}}));
    // Identical points: one stays.
    EXPECT_EQ(Front(Points{{1.0, 30.0}, {2.0, 33.0}, {1.0, 30.0}, {2.0, 33.0}}),
              (Points{{1.0, 30.0}, {2.0, 33.0}}));
}

TEST(ParetoFrontTest, AFrontRisesStrictlyOnBothAxesAndIsItsOwnFront) {
    const Points family = {{0.3, 25.0}, {0.3, 26.0}, {0.4, 26.0}, {0.6, 29.0}, {0.5, 29.0},
                           {0.9, 29.0}, {0.9, 31.0}, {1.2, 31.0}, {0.2, 20.0}, {1.0, 30.5}};
    const Points front = Front(family);
    ASSERT_EQ(front, (Points{{0.2, 20.0}, {0.3, 26.0}, {0.5, 29.0}, {0.9, 31.0}}));
    EXPECT_EQ(Front(front), front);
}

TEST(ParetoFrontTest, PointsWithoutAFiniteCoordinateAreLeftOut) {
    constexpr double kInf = std::numeric_limits<double>::infinity();
    const Points family = {{8.0, kInf}, {1.0, 30.0}, {std::numeric_limits<double>::quiet_NaN(), 40.0}};
    EXPECT_EQ(Front(family), (Points{{1.0, 30.0}}));
    EXPECT_TRUE(Front(Points{}).empty());
}

TEST(ParetoFrontTest, TakesTheMeasureAskedForAndLeavesOutPointsWithoutIt) {
    std::vector<RateQualityPoint> family = AsPoints({{1.0, 30.0}, {2.0, 29.0}, {3.0, 31.0}});
    family[0].similarity.msSsim = 0.95;
    family[1].similarity.msSsim = 0.97;  // beaten by pSNR, not by MS-SSIM
    const std::vector<RateQualityPoint> byMsSsim = ParetoFront(family, QualityMeasure::MsSsim);
    ASSERT_EQ(byMsSsim.size(), 2u);  // the third point has no MS-SSIM
    EXPECT_EQ(byMsSsim[0].bpp, 1.0);
    EXPECT_EQ(byMsSsim[1].bpp, 2.0);
    EXPECT_EQ(testing::AsRd(ParetoFront(family, QualityMeasure::Psnr)), (Points{{1.0, 30.0}, {3.0, 31.0}}));
}

}  // namespace
}  // namespace pictora
