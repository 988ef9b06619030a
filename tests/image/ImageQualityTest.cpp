#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "image/RgbQuality.h"

namespace pictora {
namespace {

// R, G, B samples base + i + j, base + 1 + i + j, base + 2 + i + j.
RgbImage Ramp(std::int32_t height, std::int32_t width, int base) {
    RgbImage image;
    image.height = height;
    image.width = width;
    Plane* planes[3] = {&image.red, &image.green, &image.blue};
    for (int k = 0; k < 3; ++k) {
        planes[k]->Allocate(static_cast<std::uint32_t>(height), static_cast<std::uint32_t>(width));
        for (std::int32_t i = 0; i < height; ++i)
            for (std::int32_t j = 0; j < width; ++j) (*planes[k])[i][j] = static_cast<std::uint8_t>(base + k + i + j);
    }
    return image;
}

RgbPlanes PlanesOf(const RgbImage& image) { return {&image.red, &image.green, &image.blue}; }

TEST(ImageQuality, IdenticalImagesHaveInfinitePsnr) {
    const RgbQuality quality = MeasureRgbQuality(Ramp(4, 6, 10), Ramp(4, 6, 10));
    for (double psnr : quality.psnr) EXPECT_EQ(psnr, INFINITY);
    EXPECT_EQ(quality.psnrMean, INFINITY);
}

TEST(ImageQuality, OffByOneEverywhereGivesPeakOver65025) {
    const RgbQuality quality = MeasureRgbQuality(Ramp(4, 6, 10), Ramp(4, 6, 11));
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(quality.mse[k], 1.0);
        EXPECT_NEAR(quality.psnr[k], 48.1308036, 1e-6);
    }
    EXPECT_EQ(quality.psnrMean, quality.psnr[0]);
}

TEST(ImageQuality, MeanRgbErrorUsesAllThreePlanes) {
    RgbImage rebuilt = Ramp(2, 2, 10);
    rebuilt.red[0][0] += 4;   // mse R = 16 / 4
    rebuilt.blue[1][1] -= 2;  // mse B = 4 / 4
    const RgbQuality quality = MeasureRgbQuality(Ramp(2, 2, 10), rebuilt);
    EXPECT_EQ(quality.mse[0], 4.0);
    EXPECT_EQ(quality.mse[1], 0.0);
    EXPECT_EQ(quality.mse[2], 1.0);
    EXPECT_NEAR(quality.psnrMean, 10 * std::log10(65025 / (5.0 / 3)), 1e-9);
}

TEST(ImageQuality, CountsTheReconstructionsSamples) {
    const RgbImage source = Ramp(5, 7, 10);
    std::array<double, 3> mse{};
    EXPECT_EQ(MeanSquaredErrors(source, Ramp(2, 3, 10), mse), 6u);
    EXPECT_EQ(mse[0], 0.0);
    const RgbQuality empty = MeasureRgbQuality(source, RgbImage());
    EXPECT_TRUE(std::isnan(empty.mse[0]));
    EXPECT_TRUE(std::isnan(empty.psnrMean));
}

// The integer sums must give the double the sample-by-sample sum in doubles
// gives, on noise as on the widest row of the largest differences.
TEST(ImageQuality, ErrorsAreTheSampleBySampleSumsInDoubles) {
    std::mt19937 random(7);
    RgbImage source = Ramp(37, 301, 0);
    RgbImage rebuilt = Ramp(37, 301, 0);
    Plane* mine[3] = {&source.red, &source.green, &source.blue};
    Plane* theirs[3] = {&rebuilt.red, &rebuilt.green, &rebuilt.blue};
    for (int k = 0; k < 3; ++k)
        for (std::uint32_t i = 0; i < 37; ++i)
            for (std::uint32_t j = 0; j < 301; ++j) {
                (*mine[k])[i][j] = static_cast<std::uint8_t>(random());
                (*theirs[k])[i][j] = static_cast<std::uint8_t>(random());
            }
    const RgbQuality quality = MeasureRgbQuality(source, rebuilt);
    for (int k = 0; k < 3; ++k) {
        double sum = 0;
        for (std::uint32_t i = 0; i < 37; ++i)
            for (std::uint32_t j = 0; j < 301; ++j) {
                const int difference = (*mine[k])[i][j] - (*theirs[k])[i][j];
                sum += difference * difference;
            }
        EXPECT_EQ(quality.mse[k], sum * (1.0 / (37 * 301))) << k;
    }

    RgbImage black = Ramp(2, 65535, 0);
    RgbImage white = Ramp(2, 65535, 0);
    for (Plane* plane : {&black.red, &black.green, &black.blue}) plane->Fill(0);
    for (Plane* plane : {&white.red, &white.green, &white.blue}) plane->Fill(255);
    const RgbQuality extreme = MeasureRgbQuality(black, white);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(extreme.mse[k], 65025.0) << k;
}

TEST(ImageQuality, PlanesAreMeasuredOverTheTopLeftAreaOnly) {
    const RgbImage source = Ramp(6, 9, 10);
    RgbImage rebuilt = Ramp(6, 9, 10);
    rebuilt.green[1][2] += 3;  // inside 2 x 4
    rebuilt.red[2][0] += 50;   // below it
    rebuilt.blue[0][4] += 50;  // right of it
    const RgbQuality quality = MeasureRgbQuality(PlanesOf(source), PlanesOf(rebuilt), 2, 4);
    EXPECT_EQ(quality.mse[0], 0.0);
    EXPECT_EQ(quality.mse[1], 9.0 / 8);
    EXPECT_EQ(quality.mse[2], 0.0);
    EXPECT_EQ(quality.psnr[0], INFINITY);
    EXPECT_NEAR(quality.psnrMean, 10 * std::log10(65025 / (9.0 / 8 / 3)), 1e-9);
}

}  // namespace
}  // namespace pictora
