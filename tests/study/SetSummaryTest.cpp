#include <gtest/gtest.h>

#include <vector>

#include "study/MeanStatistics.h"
#include "study/SetSummary.h"

namespace pictora {
namespace {

TEST(MeanStatisticsTest, TheGeneratorIsSplitMix64AndDrawsStayInRange) {
    SplitMix64 fromZero(0);
    EXPECT_EQ(fromZero.Next(), 0xE220A8397B1DCDAFu);  // the published first output for seed 0
    EXPECT_EQ(fromZero.Next(), 0x6E789E6AA1B965F4u);
    SplitMix64 draws(kBootstrapSeed);
    std::vector<int> seen(24, 0);
    for (int k = 0; k < 24000; ++k) {
        const std::uint64_t draw = draws.Below(24);
        ASSERT_LT(draw, 24u);
        ++seen[draw];
    }
    for (int count : seen) EXPECT_NEAR(count, 1000, 150);
}

TEST(MeanStatisticsTest, MeanMedianAndPercentileInterval) {
    EXPECT_FALSE(MeanWithInterval({}));

    const std::vector<double> one = {7.5};
    const auto single = MeanWithInterval(one);
    ASSERT_TRUE(single);
    EXPECT_EQ(single->mean, 7.5);
    EXPECT_EQ(single->intervalLow, 7.5);
    EXPECT_EQ(single->intervalHigh, 7.5);

    // Resampled means of {0, 100} are 0, 50 or 100 with chances 1/4, 1/2,
    // 1/4: the 2.5 % and 97.5 % points are the two ends.
    const std::vector<double> two = {100.0, 0.0};
    const auto pair = MeanWithInterval(two);
    ASSERT_TRUE(pair);
    EXPECT_EQ(pair->mean, 50.0);
    EXPECT_EQ(pair->median, 50.0);
    EXPECT_EQ(pair->intervalLow, 0.0);
    EXPECT_EQ(pair->intervalHigh, 100.0);

    // 1, 4, 9, ..., 576: the interval as tests/tools/check_summary.py draws it.
    std::vector<double> squares;
    for (int k = 1; k <= 24; ++k) squares.push_back(k * k);
    const auto spread = MeanWithInterval(squares);
    ASSERT_TRUE(spread);
    EXPECT_DOUBLE_EQ(spread->mean, 204.16666666666666);
    EXPECT_EQ(spread->median, 156.5);  // (144 + 169) / 2
    EXPECT_DOUBLE_EQ(spread->intervalLow, 136.20833333333334);
    EXPECT_DOUBLE_EQ(spread->intervalHigh, 277.3333333333333);
}

BdRateRow Row(const std::string& image, double alfa, ReferenceCodecKind codec, QualityMeasure measure,
              std::optional<double> percent) {
    BdRateRow row;
    row.image = image;
    row.family.alfa = alfa;
    row.family.radius = 0.3;  // not a family's setting: never part of the key
    row.reference = codec;
    row.measure = measure;
    if (percent) row.rate = BdRateResult{*percent, 20.0, 30.0};
    return row;
}

TEST(SetSummaryTest, OneRowPerFamilyCodecAndMeasureInTheOrderOfTheBdRates) {
    const auto psnr = QualityMeasure::Psnr;
    const auto msssim = QualityMeasure::MsSsim;
    const auto jpeg = ReferenceCodecKind::Jpeg;
    std::vector<BdRateRow> rows = {
        Row("a.png", 0.1, jpeg, psnr, 10.0),  Row("a.png", 0.1, jpeg, msssim, std::nullopt),
        Row("a.png", 0.2, jpeg, psnr, -4.0),  Row("a.png", 0.2, jpeg, msssim, std::nullopt),
        Row("b.png", 0.1, jpeg, psnr, 30.0),  Row("b.png", 0.1, jpeg, msssim, std::nullopt),
        Row("b.png", 0.2, jpeg, psnr, std::nullopt), Row("b.png", 0.2, jpeg, msssim, std::nullopt),
    };
    rows[6].family.radius = 0.05;
    const std::vector<SetSummaryRow> summary = SummarizeBdRates(rows);
    ASSERT_EQ(summary.size(), 4u);
    EXPECT_EQ(summary[0].family.alfa, 0.1);
    EXPECT_EQ(summary[0].measure, psnr);
    EXPECT_EQ(summary[0].images, 2u);
    EXPECT_EQ(summary[0].statistics->mean, 20.0);
    EXPECT_EQ(summary[1].measure, msssim);
    EXPECT_EQ(summary[1].images, 0u);
    EXPECT_FALSE(summary[1].statistics);
    EXPECT_EQ(summary[2].family.alfa, 0.2);
    EXPECT_EQ(summary[2].images, 1u);
    EXPECT_EQ(summary[2].statistics->median, -4.0);

    EXPECT_EQ(FormatSummaryCsv(summary),
              "color_space,block,alfa,filter,entropy,code_by,refine,deblock,reference,measure,images,mean,median,ci_low,"
              "ci_high\n"
              "rgb,8,0.10000000000000001,none,none,similarity,0,0,jpeg,psnr,2,20,20,10,30\n"
              "rgb,8,0.10000000000000001,none,none,similarity,0,0,jpeg,msssim,0,,,,\n"
              "rgb,8,0.20000000000000001,none,none,similarity,0,0,jpeg,psnr,1,-4,-4,-4,-4\n"
              "rgb,8,0.20000000000000001,none,none,similarity,0,0,jpeg,msssim,0,,,,\n");
}

}  // namespace
}  // namespace pictora
