#include "report/RunRdChart.h"

#include <gtest/gtest.h>

namespace pictora {
namespace {

StepResult Step(double bpp, double psnr, std::optional<double> msSsim) {
    StepResult result;
    result.figures.bpp = bpp;
    result.figures.quality.psnrMean = psnr;
    result.figures.similarity.msSsim = msSsim;
    return result;
}

ReferenceCurve Curve(ReferenceCodecKind codec, std::vector<std::pair<double, double>> bppPsnr) {
    ReferenceCurve curve;
    curve.codec = codec;
    for (auto [bpp, psnr] : bppPsnr) {
        RateQualityPoint figures;
        figures.bpp = bpp;
        figures.quality.psnrMean = psnr;
        curve.points.push_back(figures);
    }
    return curve;
}

TEST(RunRdChartTest, TheRunFirstThenEachReferenceInItsOwnStyle) {
    const RdChartModel model = RunRdChart({Step(1.5, 30.0, 0.9), Step(2.0, 32.0, 0.95)},
                                          {Curve(ReferenceCodecKind::Jpeg, {{0.5, 25.0}, {1.0, 29.0}}),
                                           Curve(ReferenceCodecKind::Jxl, {{0.7, 28.0}})},
                                          QualityMeasure::Psnr);
    ASSERT_EQ(model.series.size(), 3u);
    EXPECT_EQ(model.series[0].name, "Pictora");
    EXPECT_EQ(model.series[1].name, "JPEG");
    EXPECT_EQ(model.series[2].name, "JPEG XL");
    EXPECT_EQ(model.series[0].points[1].bpp, 2.0);
    EXPECT_EQ(model.series[0].points[1].quality.psnrMean, 32.0);
    EXPECT_EQ(model.series[1].points[0].quality.psnrMean, 25.0);
    EXPECT_FALSE(model.series[0].colour == model.series[1].colour);
    EXPECT_EQ(model.yLabel, "pSNR (dB)");
    EXPECT_EQ(model.xLabel, "bpp");
}

TEST(RunRdChartTest, UndefinedMeasuresAndEmptySeriesAreLeftOut) {
    const RdChartModel model = RunRdChart({Step(1.5, 30.0, std::nullopt), Step(2.0, 32.0, 0.95)},
                                          {Curve(ReferenceCodecKind::Webp, {{0.5, 25.0}})}, QualityMeasure::MsSsim);
    ASSERT_EQ(model.series.size(), 1u);  // the ladder has no MS-SSIM
    ASSERT_EQ(model.series[0].points.size(), 1u);
    EXPECT_EQ(model.series[0].points[0].similarity.msSsim, 0.95);
    EXPECT_EQ(model.measure, QualityMeasure::MsSsim);
    EXPECT_EQ(model.yLabel, "MS-SSIM");
    EXPECT_TRUE(RunRdChart({}, {}, QualityMeasure::Psnr).series.empty());
}

}  // namespace
}  // namespace pictora
