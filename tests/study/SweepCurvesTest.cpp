#include <gtest/gtest.h>

#include "study/BdRateTable.h"
#include "study/SweepCharts.h"
#include "study/SweepCurves.h"

namespace pictora {
namespace {

SweepRow Trained(const std::string& image, double radius, double alfa, std::uint32_t step, double bpp, double psnr) {
    SweepRow row;
    row.image = image;
    SweepCell cell;
    cell.radius = radius;
    cell.alfa = alfa;
    row.origin = TrainedOrigin{cell, step};
    row.figures.bpp = bpp;
    row.figures.quality.psnrMean = psnr;
    return row;
}

SweepRow Rung(const std::string& image, ReferenceCodecKind codec, double knob, double bpp, double psnr,
              std::optional<double> msSsim = std::nullopt) {
    SweepRow row;
    row.image = image;
    row.origin = LadderOrigin{codec, knob};
    row.figures.bpp = bpp;
    row.figures.quality.psnrMean = psnr;
    row.figures.similarity.msSsim = msSsim;
    return row;
}

TEST(SweepCurvesTest, AFamilyRunsOverEveryRadiusAndStepOfItsImage) {
    const std::vector<SweepRow> rows = {
        Trained("a.png", 0.1, 0.1, 1, 1.0, 20.0), Trained("a.png", 0.1, 0.1, 2, 2.0, 25.0),
        Trained("a.png", 0.2, 0.1, 1, 1.5, 19.0), Trained("a.png", 0.1, 0.3, 1, 0.5, 18.0),
        Rung("a.png", ReferenceCodecKind::Webp, 50, 0.4, 30.0), Trained("b.png", 0.1, 0.1, 1, 3.0, 21.0),
        Rung("a.png", ReferenceCodecKind::Webp, 90, 1.4, 38.0),
    };
    const std::vector<ImageCurves> images = GroupCurves(rows);
    ASSERT_EQ(images.size(), 2u);
    EXPECT_EQ(images[0].image, "a.png");
    ASSERT_EQ(images[0].families.size(), 2u);
    EXPECT_EQ(images[0].families[0].points.size(), 3u);  // both radii, both steps
    EXPECT_EQ(images[0].families[0].Legend(), "rgb 8×8 ALFA 0.1");
    EXPECT_EQ(images[0].families[1].Legend(), "rgb 8×8 ALFA 0.3");
    ASSERT_EQ(images[0].references.size(), 1u);
    EXPECT_EQ(images[0].references[0].Legend(), "webp");
    EXPECT_EQ(images[0].references[0].points.size(), 2u);
    EXPECT_EQ(images[1].families.size(), 1u);
    EXPECT_TRUE(images[1].references.empty());

    const RdCurve front = images[0].families[0].Front(QualityMeasure::Psnr);
    ASSERT_EQ(front.points.size(), 2u);  // (1.5, 19) loses to (1.0, 20)
    EXPECT_EQ(front.points[0].bpp, 1.0);
    EXPECT_EQ(front.points[1].bpp, 2.0);
}

TEST(SweepCurvesTest, AChartDrawsTheFrontsOfFamiliesThenCodecsAndLeavesOutCurvesWithoutTheMeasure) {
    const std::vector<SweepRow> rows = {
        Trained("a.png", 0.1, 0.1, 1, 1.0, 20.0), Trained("a.png", 0.2, 0.1, 1, 1.5, 19.0),
        Rung("a.png", ReferenceCodecKind::Jxl, 2, 0.4, 30.0, 0.97), Rung("a.png", ReferenceCodecKind::Jxl, 1, 0.8, 33.0, 0.98),
    };
    const ImageCurves image = GroupCurves(rows).front();
    const RdChartModel psnr = SweepChart(image, QualityMeasure::Psnr);
    EXPECT_EQ(psnr.title, "a.png — pSNR");
    ASSERT_EQ(psnr.series.size(), 2u);
    EXPECT_EQ(psnr.series[0].name, "rgb 8×8 ALFA 0.1");
    EXPECT_EQ(psnr.series[0].points.size(), 1u);
    EXPECT_EQ(psnr.series[1].name, "jxl");
    EXPECT_FALSE(psnr.series[0].colour == psnr.series[1].colour);

    const RdChartModel msSsim = SweepChart(image, QualityMeasure::MsSsim);
    EXPECT_EQ(msSsim.measure, QualityMeasure::MsSsim);
    ASSERT_EQ(msSsim.series.size(), 1u);  // the family has no MS-SSIM
    EXPECT_EQ(msSsim.series[0].name, "jxl");
    EXPECT_EQ(msSsim.series[0].colour, psnr.series[0].colour);  // the first series' style
}

TEST(SweepCurvesTest, BdRatesHaveARowPerFamilyCodecAndMeasure) {
    std::vector<SweepRow> rows;
    for (int k = 1; k <= 4; ++k) {
        rows.push_back(Trained("a.png", 0.1, 0.1, static_cast<std::uint32_t>(k), 2.0 * k, 20.0 + 3 * k));
        rows.push_back(Rung("a.png", ReferenceCodecKind::Jpeg, 20.0 * k, 1.0 * k, 20.0 + 3 * k));
    }
    const std::string csv = FormatBdRateCsv(ComputeBdRates(GroupCurves(rows), kRdMeasures));
    const std::string header =
        "image,color_space,block,alfa,filter,entropy,code_by,refine,deblock,reference,measure,bd_rate,overlap_low,"
        "overlap_high\n";
    ASSERT_EQ(csv.substr(0, header.size()), header);
    // Twice the bits for the same pSNR (+100 % up to rounding); no MS-SSIM at all.
    EXPECT_EQ(csv.substr(header.size()),
              "a.png,rgb,8,0.10000000000000001,none,none,similarity,0,0,jpeg,psnr,100.00000000000004,23,32\n"
              "a.png,rgb,8,0.10000000000000001,none,none,similarity,0,0,jpeg,msssim,,,\n");
}

}  // namespace
}  // namespace pictora
