#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "image/ImageBuffer.h"

namespace pictora {
namespace {

// R, G, B samples base + i + j, base + 1 + i + j, base + 2 + i + j.
ImageBuffer Ramp(std::int32_t height, std::int32_t width, int base) {
    ImageBuffer buffer;
    buffer.Allocate(height, width);
    Plane* planes[3] = {&buffer.rgb->red, &buffer.rgb->green, &buffer.rgb->blue};
    for (int k = 0; k < 3; ++k)
        for (std::int32_t i = 0; i < height; ++i)
            for (std::int32_t j = 0; j < width; ++j) (*planes[k])[i][j] = static_cast<std::uint8_t>(base + k + i + j);
    return buffer;
}

TEST(ImageQuality, IdenticalImagesHaveInfinitePsnr) {
    ImageBuffer source = Ramp(4, 6, 10);
    source.ComputePsnr(Ramp(4, 6, 10));
    for (PsnrOf which : {PsnrOf::Red, PsnrOf::Green, PsnrOf::Blue, PsnrOf::Mean})
        EXPECT_EQ(source.GetPsnr(which), INFINITY) << static_cast<int>(which);
}

TEST(ImageQuality, OffByOneEverywhereGivesPeakOver65025) {
    ImageBuffer source = Ramp(4, 6, 10);
    source.ComputePsnr(Ramp(4, 6, 11));
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(source.mse[k], 1.0);
        EXPECT_NEAR(source.psnr[k], 48.1308036, 1e-6);
    }
    EXPECT_EQ(source.GetPsnr(PsnrOf::Mean), source.GetPsnr(PsnrOf::Red));
}

TEST(ImageQuality, MeanRgbErrorUsesAllThreePlanes) {
    ImageBuffer source = Ramp(2, 2, 10);
    ImageBuffer rebuilt = Ramp(2, 2, 10);
    rebuilt.rgb->red[0][0] += 4;   // mse R = 16 / 4
    rebuilt.rgb->blue[1][1] -= 2;  // mse B = 4 / 4
    source.ComputePsnr(rebuilt);
    EXPECT_EQ(source.mse[0], 4.0);
    EXPECT_EQ(source.mse[1], 0.0);
    EXPECT_EQ(source.mse[2], 1.0);
    EXPECT_NEAR(source.GetPsnr(PsnrOf::Mean), 10 * std::log10(65025 / (5.0 / 3)), 1e-9);
}

TEST(ImageQuality, CountsTheReconstructionsSamples) {
    ImageBuffer source = Ramp(5, 7, 10);
    EXPECT_EQ(source.Compare(Ramp(2, 3, 10)), 6u);
    EXPECT_EQ(source.mse[0], 0.0);
    source.ComputePsnr(ImageBuffer());
    EXPECT_TRUE(std::isnan(source.mse[0]));
    EXPECT_TRUE(std::isnan(source.GetPsnr(PsnrOf::Mean)));
}

// The integer sums must give the double the sample-by-sample sum in doubles
// gives, on noise as on the widest row of the largest differences.
TEST(ImageQuality, ErrorsAreTheSampleBySampleSumsInDoubles) {
    std::mt19937 random(7);
    ImageBuffer source = Ramp(37, 301, 0);
    ImageBuffer rebuilt = Ramp(37, 301, 0);
    Plane* mine[3] = {&source.rgb->red, &source.rgb->green, &source.rgb->blue};
    Plane* theirs[3] = {&rebuilt.rgb->red, &rebuilt.rgb->green, &rebuilt.rgb->blue};
    for (int k = 0; k < 3; ++k)
        for (std::uint32_t i = 0; i < 37; ++i)
            for (std::uint32_t j = 0; j < 301; ++j) {
                (*mine[k])[i][j] = static_cast<std::uint8_t>(random());
                (*theirs[k])[i][j] = static_cast<std::uint8_t>(random());
            }
    source.ComputePsnr(rebuilt);
    for (int k = 0; k < 3; ++k) {
        double sum = 0;
        for (std::uint32_t i = 0; i < 37; ++i)
            for (std::uint32_t j = 0; j < 301; ++j) {
                const int difference = (*mine[k])[i][j] - (*theirs[k])[i][j];
                sum += difference * difference;
            }
        EXPECT_EQ(source.mse[k], sum * (1.0 / (37 * 301))) << k;
    }

    ImageBuffer black = Ramp(2, 65535, 0);
    ImageBuffer white = Ramp(2, 65535, 0);
    for (Plane* plane : {&black.rgb->red, &black.rgb->green, &black.rgb->blue}) plane->Fill(0);
    for (Plane* plane : {&white.rgb->red, &white.rgb->green, &white.rgb->blue}) plane->Fill(255);
    black.ComputePsnr(white);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(black.mse[k], 65025.0) << k;
}

TEST(ImageQuality, PlanesAreMeasuredOverTheTopLeftAreaOnly) {
    ImageBuffer source = Ramp(6, 9, 10);
    ImageBuffer rebuilt = Ramp(6, 9, 10);
    rebuilt.rgb->green[1][2] += 3;  // inside 2 x 4
    rebuilt.rgb->red[2][0] += 50;   // below it
    rebuilt.rgb->blue[0][4] += 50;  // right of it
    source.ComputePsnr({&rebuilt.rgb->red, &rebuilt.rgb->green, &rebuilt.rgb->blue}, 2, 4);
    EXPECT_EQ(source.mse[0], 0.0);
    EXPECT_EQ(source.mse[1], 9.0 / 8);
    EXPECT_EQ(source.mse[2], 0.0);
    EXPECT_EQ(source.GetPsnr(PsnrOf::Red), INFINITY);
    EXPECT_NEAR(source.GetPsnr(PsnrOf::Mean), 10 * std::log10(65025 / (9.0 / 8 / 3)), 1e-9);
}

}  // namespace
}  // namespace pictora
