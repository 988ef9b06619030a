#include "measures/PlaneSimilarity.h"

#include <gtest/gtest.h>

#include <cmath>

#include "measures/ImageSimilarity.h"
#include "measures/MeasuresTestPlanes.h"
#include "support/WorkerPool.h"

namespace pictora {
namespace {

using testing::Distorted;
using testing::LoadTestPhoto;
using testing::MakePlane;

constexpr double kC1 = (0.01 * 255) * (0.01 * 255);
constexpr double kC2 = (0.03 * 255) * (0.03 * 255);

Plane Constant(std::uint32_t height, std::uint32_t width, std::uint8_t value) {
    Plane plane(height, width);
    plane.Fill(value);
    return plane;
}

Plane Checkerboard(std::uint32_t side, bool inverted) {
    return MakePlane(side, side, [&](std::uint32_t i, std::uint32_t j) {
        return static_cast<std::uint8_t>(((i + j) % 2 == 0) != inverted ? 255 : 0);
    });
}

Plane Texture(std::uint32_t height, std::uint32_t width) {
    return MakePlane(height, width, [](std::uint32_t i, std::uint32_t j) {
        return static_cast<std::uint8_t>((i * 37 + j * 11 + (i * j) % 23) % 200 + 20);
    });
}

Plane Transposed(const Plane& plane) {
    return MakePlane(plane.Width(), plane.Height(), [&](std::uint32_t i, std::uint32_t j) { return plane[j][i]; });
}

TEST(HandWorkedSimilarity, ConstantPlanes) {
    const Plane flat = Constant(20, 30, 100);
    EXPECT_NEAR(*PlaneSsim(flat, flat), 1.0, 1e-12);

    // No variance on either side: the contrast-structure factor is C2 / C2 and
    // only the luminance factor is left, (2 p q + C1) / (p^2 + q^2 + C1).
    const Plane brighter = Constant(20, 30, 110);
    const double luminance = (2.0 * 100 * 110 + kC1) / (100.0 * 100 + 110.0 * 110 + kC1);
    EXPECT_NEAR(*PlaneSsim(flat, brighter), luminance, 1e-12);

    // Every scale has the same luminance factor; only the coarsest one counts.
    const Plane large = Constant(176, 180, 100);
    const Plane largeBrighter = Constant(176, 180, 110);
    EXPECT_NEAR(*PlaneMsSsim(large, largeBrighter), std::pow(luminance, 0.1333), 1e-12);
}

TEST(HandWorkedSimilarity, CheckerboardAgainstItsInverse) {
    // Every window sees the same two values with weights P on the samples of
    // the centre's colour and Q = 1 - P on the others, P = Ge^2 + Go^2 with Ge
    // and Go the sums of the 1-D taps at even and odd offsets.
    double taps[11];
    double total = 0.0;
    for (int x = -5; x <= 5; ++x) total += taps[x + 5] = std::exp(-(x * x) / (2.0 * 1.5 * 1.5));
    double even = 0.0;
    double odd = 0.0;
    for (int x = -5; x <= 5; ++x) (x % 2 == 0 ? even : odd) += taps[x + 5] / total;
    const double p = even * even + odd * odd;
    const double q = 2.0 * even * odd;
    const double pq = 255.0 * 255.0 * p * q;
    const double l = (2.0 * pq + kC1) / (255.0 * 255.0 * (p * p + q * q) + kC1);
    const double cs = (-2.0 * pq + kC2) / (2.0 * pq + kC2);
    EXPECT_NEAR(*PlaneSsim(Checkerboard(40, false), Checkerboard(40, true)), l * cs, 1e-12);
    EXPECT_LT(l * cs, -0.99);

    // The first halving turns both boards into the same grey: scales 2 to 5
    // give 1, and the negative full-size term is clamped to 0.
    EXPECT_EQ(*PlaneMsSsim(Checkerboard(176, false), Checkerboard(176, true)), 0.0);
}

TEST(SimilarityProperties, IdenticalPlanesGiveExactlyOne) {
    const RgbImage tiger = LoadTestPhoto("photo500-tiger.png");
    const PlaneSimilarity same = MeasurePlanes(tiger.green, tiger.green, SimilarityMeasures::kBoth);
    EXPECT_EQ(*same.ssim, 1.0);
    EXPECT_EQ(*same.msSsim, 1.0);
}

TEST(SimilarityProperties, SwappingThePlanesChangesNothing) {
    const RgbImage tiger = LoadTestPhoto("photo500-tiger.png");
    const Plane distorted = Distorted(tiger.red);
    const PlaneSimilarity forward = MeasurePlanes(tiger.red, distorted, SimilarityMeasures::kBoth);
    const PlaneSimilarity backward = MeasurePlanes(distorted, tiger.red, SimilarityMeasures::kBoth);
    EXPECT_EQ(*forward.ssim, *backward.ssim);
    EXPECT_EQ(*forward.msSsim, *backward.msSsim);
    EXPECT_LT(*forward.ssim, 1.0);
}

TEST(SimilarityProperties, TransposingBothPlanesGivesTheSameSsim) {
    const Plane a = Texture(37, 61);
    const Plane b = Distorted(a);
    EXPECT_NEAR(*PlaneSsim(Transposed(a), Transposed(b)), *PlaneSsim(a, b), 1e-13);
}

TEST(SimilarityProperties, OneThreadGivesTheSameDoublesAsAll) {
    const RgbImage tiger = LoadTestPhoto("photo500-tiger.png");
    const Plane distorted = Distorted(tiger.blue);
    const PlaneSimilarity spread = MeasurePlanes(tiger.blue, distorted, SimilarityMeasures::kBoth);
    PlaneSimilarity serial;
    // A job started from inside a pool task runs all its parts on that thread.
    WorkerPool::Shared().Run(1, [&](unsigned, unsigned) {
        serial = MeasurePlanes(tiger.blue, distorted, SimilarityMeasures::kBoth);
    });
    EXPECT_EQ(*spread.ssim, *serial.ssim);
    EXPECT_EQ(*spread.msSsim, *serial.msSsim);
}

TEST(SimilarityDomain, SsimNeedsBothSidesOfEleven) {
    EXPECT_FALSE(PlaneSsim(Texture(10, 40), Texture(10, 40)));
    EXPECT_FALSE(PlaneSsim(Texture(40, 10), Texture(40, 10)));
    EXPECT_FALSE(PlaneSsim(Plane(), Plane()));
    EXPECT_TRUE(PlaneSsim(Texture(11, 11), Texture(11, 11)));
}

TEST(SimilarityDomain, MsSsimNeedsAShorterSideOf176) {
    EXPECT_FALSE(PlaneMsSsim(Texture(175, 300), Texture(175, 300)));
    EXPECT_FALSE(PlaneMsSsim(Texture(300, 175), Texture(300, 175)));
    EXPECT_TRUE(PlaneMsSsim(Texture(176, 176), Texture(176, 176)));
    const PlaneSimilarity small = MeasurePlanes(Texture(100, 100), Texture(100, 100), SimilarityMeasures::kBoth);
    EXPECT_TRUE(small.ssim);
    EXPECT_FALSE(small.msSsim);
}

TEST(SimilarityDomain, PlanesOfDifferentSizesAreNotCompared) {
    EXPECT_FALSE(PlaneSsim(Texture(200, 200), Texture(200, 201)));
    EXPECT_FALSE(PlaneMsSsim(Texture(200, 200), Texture(201, 200)));
}

TEST(ImageSimilarityTest, ImageFiguresAreTheMeanOfThePlanes) {
    const RgbImage tiger = LoadTestPhoto("photo500-tiger.png");
    const Plane red = Distorted(tiger.red);
    const Plane green = Distorted(tiger.green);
    const RgbPlanes source = {&tiger.red, &tiger.green, &tiger.blue};
    const RgbPlanes changed = {&red, &green, &tiger.blue};
    const ImageSimilarity both = MeasureImages(source, changed, SimilarityMeasures::kBoth);
    EXPECT_EQ(*both.ssim, (*both.planes[0].ssim + *both.planes[1].ssim + *both.planes[2].ssim) / 3.0);
    EXPECT_EQ(*both.msSsim, (*both.planes[0].msSsim + *both.planes[1].msSsim + *both.planes[2].msSsim) / 3.0);
    EXPECT_EQ(*both.planes[2].ssim, 1.0);
    EXPECT_EQ(*both.planes[0].ssim, *PlaneSsim(tiger.red, red));
    EXPECT_EQ(*both.planes[1].msSsim, *PlaneMsSsim(tiger.green, green));

    const ImageSimilarity ssimOnly = MeasureImages(source, changed, SimilarityMeasures::kSsim);
    EXPECT_EQ(*ssimOnly.ssim, *both.ssim);
    EXPECT_FALSE(ssimOnly.msSsim);
    const ImageSimilarity msSsimOnly = MeasureImages(source, changed, SimilarityMeasures::kMsSsim);
    EXPECT_FALSE(msSsimOnly.ssim);
    EXPECT_EQ(*msSsimOnly.msSsim, *both.msSsim);
}

TEST(ImageSimilarityTest, OnePlaneOutsideTheDomainLeavesTheImageFigureEmpty) {
    const Plane big = Texture(200, 200);
    const Plane small = Texture(100, 200);
    const ImageSimilarity result = MeasureImages({&big, &big, &small}, {&big, &big, &small}, SimilarityMeasures::kBoth);
    EXPECT_TRUE(result.planes[0].msSsim);
    EXPECT_FALSE(result.planes[2].msSsim);
    EXPECT_FALSE(result.msSsim);
    EXPECT_EQ(*result.ssim, 1.0);
}

}  // namespace
}  // namespace pictora
