#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <vector>

#include "measures/BdRate.h"
#include "measures/RdPoints.h"

namespace pictora {
namespace {

using Points = testing::RdList;

std::optional<BdRateResult> BdRate(const Points& tested, const Points& reference) {
    return pictora::BdRate(testing::AsPoints(tested), testing::AsPoints(reference), QualityMeasure::Psnr);
}

const Points kReference = {{0.25, 27.0}, {0.5, 30.5}, {1.0, 34.0}, {2.0, 37.0}, {4.0, 39.5}};

Points ScaleRate(const Points& points, double factor) {
    Points scaled = points;
    for (testing::Rd& p : scaled) p.bpp *= factor;
    return scaled;
}

TEST(BdRateTest, IdenticalCurvesDifferByNothing) {
    const std::optional<BdRateResult> result = BdRate(kReference, kReference);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->percent, 0.0);
    EXPECT_EQ(result->overlapLow, 27.0);
    EXPECT_EQ(result->overlapHigh, 39.5);
}

TEST(BdRateTest, ScalingEveryRateScalesTheResultExactly) {
    const std::optional<BdRateResult> doubled = BdRate(ScaleRate(kReference, 2.0), kReference);
    ASSERT_TRUE(doubled);
    EXPECT_NEAR(doubled->percent, 100.0, 1e-12);
    const std::optional<BdRateResult> halved = BdRate(ScaleRate(kReference, 0.5), kReference);
    ASSERT_TRUE(halved);
    EXPECT_NEAR(halved->percent, -50.0, 1e-12);
}

TEST(BdRateTest, SwappingTheCurvesInvertsTheRateRatioOverTheSameOverlap) {
    const Points tested = {{0.3, 28.0}, {0.45, 29.0}, {0.7, 31.5}, {1.6, 35.0}, {3.0, 38.0}, {6.0, 41.0}};
    const std::optional<BdRateResult> forward = BdRate(tested, kReference);
    const std::optional<BdRateResult> backward = BdRate(kReference, tested);
    ASSERT_TRUE(forward && backward);
    EXPECT_EQ(forward->overlapLow, 28.0);
    EXPECT_EQ(forward->overlapHigh, 39.5);
    EXPECT_EQ(backward->overlapLow, 28.0);
    EXPECT_EQ(backward->overlapHigh, 39.5);
    EXPECT_NEAR((1.0 + forward->percent / 100.0) * (1.0 + backward->percent / 100.0), 1.0, 1e-12);
    EXPECT_GT(forward->percent, 0.0);  // tested sits right of the reference over most of the range
}

TEST(BdRateTest, DominatedPointsDoNotChangeTheResult) {
    Points family = ScaleRate(kReference, 2.0);
    family.push_back({3.0, 30.0});
    family.push_back({8.0, 39.5});
    family.push_back({-1.0, 45.0});  // no logarithm: left out
    const std::optional<BdRateResult> result = BdRate(family, kReference);
    ASSERT_TRUE(result);
    EXPECT_NEAR(result->percent, 100.0, 1e-12);
}

TEST(BdRateTest, EmptyWithoutOverlap) {
    const Points higher = {{1.0, 40.0}, {2.0, 42.0}, {3.0, 44.0}, {4.0, 46.0}};
    EXPECT_FALSE(BdRate(higher, kReference));
    // Ranges that only touch have no width either.
    const Points touching = {{5.0, 39.5}, {6.0, 42.0}, {7.0, 44.0}, {8.0, 46.0}};
    EXPECT_FALSE(BdRate(touching, kReference));
}

TEST(BdRateTest, EmptyWhenAFrontHasFewerThanFourPoints) {
    const Points three = {{0.5, 29.0}, {1.0, 33.0}, {2.0, 36.0}};
    EXPECT_FALSE(BdRate(three, kReference));
    EXPECT_FALSE(BdRate(kReference, three));
    // Four points, but one is beaten.
    const Points beaten = {{0.5, 29.0}, {1.0, 33.0}, {2.0, 36.0}, {2.5, 35.0}};
    EXPECT_FALSE(BdRate(beaten, kReference));
    EXPECT_TRUE(BdRate(Points{{0.5, 29.0}, {1.0, 33.0}, {2.0, 36.0}, {2.5, 37.0}}, kReference));
}

}  // namespace
}  // namespace pictora
