// The separable, vectorised, threaded scan against the formulas summed over
// the full 2-D window (ReferenceSimilarity.h).
#include <gtest/gtest.h>

#include "measures/MeasuresTestPlanes.h"
#include "measures/PlaneSimilarity.h"
#include "measures/ReferenceSimilarity.h"
#include "measures/SsimMap.h"

namespace pictora {
namespace {

using testing::Cropped;
using testing::Distorted;
using testing::LoadTestPhoto;

constexpr double kTolerance = 1e-9;

void ExpectAgreement(const Plane& a, const Plane& b) {
    const PlaneSimilarity fast = MeasurePlanes(a, b, SimilarityMeasures::kBoth);
    ASSERT_TRUE(fast.ssim);
    EXPECT_NEAR(*fast.ssim, reference::Ssim(a, b), kTolerance);
    if (std::min(a.Height(), a.Width()) >= kMsSsimMinSide) {
        ASSERT_TRUE(fast.msSsim);
        EXPECT_NEAR(*fast.msSsim, reference::MsSsim(a, b), kTolerance);
    }
}

TEST(ReferenceAgreement, TigerAgainstADistortedTiger) {
    const RgbImage tiger = LoadTestPhoto("photo500-tiger.png");
    for (const Plane* plane : {&tiger.red, &tiger.green, &tiger.blue}) ExpectAgreement(*plane, Distorted(*plane));
}

TEST(ReferenceAgreement, OddSizes) {
    const RgbImage tiger = LoadTestPhoto("photo500-tiger.png");
    // Odd sides at every halving, widths that leave a partial vector, a
    // single window, and a band of rows that is not full.
    for (auto [height, width] : {std::pair{11u, 11u}, {13u, 29u}, {77u, 41u}, {181u, 203u}, {199u, 367u}}) {
        SCOPED_TRACE(std::to_string(height) + " x " + std::to_string(width));
        const Plane a = Cropped(tiger.green, height, width);
        ExpectAgreement(a, Distorted(a));
    }
}

TEST(ReferenceAgreement, MapHoldsEveryWindowsSsim) {
    const RgbImage tiger = LoadTestPhoto("photo500-tiger.png");
    const Plane a = Cropped(tiger.red, 45, 70);
    const Plane b = Distorted(a);
    const std::optional<SsimMap> map = PlaneSsimMap(a, b);
    ASSERT_TRUE(map);
    EXPECT_EQ(map->rows, 35u);
    EXPECT_EQ(map->columns, 60u);
    const reference::MapMeans expected = reference::Windows(reference::FromPlane(a), reference::FromPlane(b));
    ASSERT_EQ(map->values.size(), expected.ssimMap.size());
    for (std::size_t k = 0; k < expected.ssimMap.size(); ++k) EXPECT_NEAR(map->values[k], expected.ssimMap[k], 1e-12);
    double sum = 0.0;
    for (double value : map->values) sum += value;
    EXPECT_NEAR(sum / static_cast<double>(map->values.size()), *PlaneSsim(a, b), 1e-15);
    EXPECT_FALSE(PlaneSsimMap(Cropped(a, 10, 70), Cropped(b, 10, 70)));
}

// Worked out once with the plain formulas; a change in the window, the
// constants, the halving or the weights moves them.
TEST(ReferenceAgreement, PinnedTigerFigures) {
    const RgbImage tiger = LoadTestPhoto("photo500-tiger.png");
    const Plane* planes[3] = {&tiger.red, &tiger.green, &tiger.blue};
    const double ssim[3] = {0.82893535170544053, 0.82868603368554894, 0.79646774046984614};
    const double msSsim[3] = {0.980256536061061, 0.9836737541614996, 0.98293864074397241};
    for (int c = 0; c < 3; ++c) {
        const PlaneSimilarity fast = MeasurePlanes(*planes[c], Distorted(*planes[c]), SimilarityMeasures::kBoth);
        EXPECT_NEAR(*fast.ssim, ssim[c], kTolerance) << c;
        EXPECT_NEAR(*fast.msSsim, msSsim[c], kTolerance) << c;
    }
}

}  // namespace
}  // namespace pictora
