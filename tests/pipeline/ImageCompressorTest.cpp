#include "pipeline/ImageCompressor.h"

#include <gtest/gtest.h>

#include <cmath>

#include "common/SyntheticPng.h"
#include "common/Jobs.h"
#include "common/TempFolder.h"
#include "image/BoxFilter.h"
#include "image/ColorConversion.h"
#include "pipeline/ResultsRow.h"

namespace pictora {
namespace {

using testing::TempFolder;
using testing::TestData;

using testing::MakeJob;

void ExpectReconstructionIs(const ImageCompressor& compressor, const Plane& r, const Plane& g, const Plane& b) {
    const RgbImage& rgb = *compressor.Reconstruction().rgb;
    const Plane* expected[3] = {&r, &g, &b};
    const Plane* actual[3] = {&rgb.red, &rgb.green, &rgb.blue};
    for (int k = 0; k < 3; ++k)
        for (int i = 0; i < rgb.height; ++i)
            for (int j = 0; j < rgb.width; ++j)
                ASSERT_EQ((*actual[k])[i][j], (*expected[k])[i][j]) << "plane " << k << " at " << i << "," << j;
}

TEST(ImageCompressorTest, JobWithoutImageOnlyRecordsTheColourSpace) {
    ImageCompressor compressor;
    EXPECT_TRUE(compressor.TrainAndCode(MakeJob(kColorSpaceYCbCr420, 8, {1, 1, 1}, true)));
    EXPECT_EQ(compressor.ColorSpace(), kColorSpaceYCbCr420);
    EXPECT_EQ(compressor.GetNeuronCount(-1), 0);
    EXPECT_FALSE(compressor.IsImageLoaded());
    EXPECT_EQ(compressor.GetBitmap(3), nullptr);
}

TEST(ImageCompressorTest, FailedLoadKeepsTheImageItHad) {
    ImageCompressor compressor;
    ASSERT_TRUE(compressor.LoadImage(TestData("photo64-a.png")));
    ASSERT_TRUE(compressor.TrainAndCode(MakeJob(kColorSpaceRgb, 8, {1, 1, 1}, true)));
    const int neurons = compressor.GetNeuronCount(-1);

    Status refused = compressor.LoadImage(TestData("refuse/palette-64.png"));
    EXPECT_FALSE(refused);
    EXPECT_NE(refused.message().find("palette-64.png"), std::string::npos);
    EXPECT_TRUE(compressor.IsImageLoaded());
    EXPECT_EQ(compressor.GetImageHeight(), 64);
    EXPECT_EQ(compressor.GetNeuronCount(-1), neurons);
    EXPECT_NE(compressor.GetBitmap(11), nullptr);
}

class ColourSpaceJobTest : public ::testing::TestWithParam<int> {};

TEST_P(ColourSpaceJobTest, TwoStepsCodeMeasureAndDrawTheImage) {
    const int colorSpace = GetParam();
    ImageCompressor compressor;
    ASSERT_TRUE(compressor.LoadImage(TestData("photo64-b.png")));
    ASSERT_TRUE(compressor.TrainAndCode(MakeJob(colorSpace, 4, {1, 1, 1}, true)));
    ASSERT_TRUE(compressor.TrainAndCode(MakeJob(colorSpace, 4, {1, 1, 1}, false)));

    const std::uint32_t chromaSide = colorSpace == kColorSpaceYCbCr420 ? 32 : 64;
    EXPECT_EQ(compressor.Channel(1).Rows(), chromaSide);
    EXPECT_EQ(compressor.Channel(2).Columns(), chromaSide);
    std::uint32_t coded = 0;
    for (int c = 0; c < 3; ++c) {
        EXPECT_GT(compressor.GetNeuronCount(c), 0);
        coded += compressor.Channel(c).CodedBytes();
    }
    EXPECT_EQ(compressor.CodedBytes(), coded);
    EXPECT_DOUBLE_EQ(compressor.GetCompressionRate(-1), coded / (3.0 * 64 * 64));
    EXPECT_TRUE(std::isfinite(compressor.GetPsnr(6)));
    EXPECT_GT(compressor.GetPsnr(6), 20.0);

    ExpectReconstructionIs(compressor, compressor.Channel(0).RebuiltCopy(), compressor.Channel(1).RebuiltCopy(),
                           compressor.Channel(2).RebuiltCopy());
    for (int slot : {0, 1, 2, 3, 4, 5, 6, 7}) EXPECT_NE(compressor.GetBitmap(slot), nullptr) << slot;
    EXPECT_EQ(compressor.GetBitmap(3)->Width(), 64);

    // The same inputs give the same numbers on every run.
    ImageCompressor again;
    ASSERT_TRUE(again.LoadImage(TestData("photo64-b.png")));
    ASSERT_TRUE(again.TrainAndCode(MakeJob(colorSpace, 4, {1, 1, 1}, true)));
    ASSERT_TRUE(again.TrainAndCode(MakeJob(colorSpace, 4, {1, 1, 1}, false)));
    EXPECT_EQ(FormatResultsCsvLine(again, 2, 0.0), FormatResultsCsvLine(compressor, 2, 0.0));
}

INSTANTIATE_TEST_SUITE_P(AllColourSpaces, ColourSpaceJobTest,
                         ::testing::Values(kColorSpaceRgb, kColorSpaceYCbCr444, kColorSpaceYCbCr420));

TEST(ImageCompressorTest, IdleChannelsEnterConversionWithTheirOwnReconstruction) {
    ImageCompressor compressor;
    ASSERT_TRUE(compressor.LoadImage(TestData("photo64-c.png")));
    ASSERT_TRUE(compressor.TrainAndCode(MakeJob(kColorSpaceYCbCr444, 4, {1, 1, 1}, true)));
    const Plane cb = compressor.Channel(1).Rebuilt();
    const Plane cr = compressor.Channel(2).Rebuilt();
    for (int job = 0; job < 2; ++job) ASSERT_TRUE(compressor.TrainAndCode(MakeJob(kColorSpaceYCbCr444, 4, {1, 0, 0}, false)));

    EXPECT_EQ(compressor.Channel(1).Rebuilt(), cb);
    EXPECT_EQ(compressor.Channel(2).Rebuilt(), cr);
    Plane r = compressor.Channel(0).Rebuilt(), g = cb, b = cr;
    YCbCrToRgb(64, 64, r, g, b, r, g, b);
    ExpectReconstructionIs(compressor, r, g, b);
}

TEST(ImageCompressorTest, OddSizedYCbCr420CodesHalfPlanesRoundedDown) {
    TempFolder folder;
    ASSERT_TRUE(testing::CropPng(TestData("photo64-d.png"), folder.File("odd.png"), 29, 37));
    ImageCompressor compressor;
    ASSERT_TRUE(compressor.LoadImage(folder.File("odd.png")));
    ASSERT_TRUE(compressor.TrainAndCode(MakeJob(kColorSpaceYCbCr420, 3, {1, 1, 1}, true, 1)));
    EXPECT_EQ(compressor.Channel(0).Rows(), 29u);
    EXPECT_EQ(compressor.Channel(1).Rows(), 14u);
    EXPECT_EQ(compressor.Channel(1).Columns(), 18u);
    EXPECT_EQ(compressor.Channel(1).BlockCount(), 14u * 18u / 9u);
    EXPECT_TRUE(std::isfinite(compressor.GetPsnr(6)));
}

TEST(ImageCompressorTest, TheFilterIsPartOfWhatIsMeasured) {
    ImageCompressor plain, filtered;
    ASSERT_TRUE(plain.LoadImage(TestData("photo64-a.png")));
    ASSERT_TRUE(filtered.LoadImage(TestData("photo64-a.png")));
    ASSERT_TRUE(plain.TrainAndCode(MakeJob(kColorSpaceRgb, 4, {1, 1, 1}, true)));
    ASSERT_TRUE(filtered.TrainAndCode(MakeJob(kColorSpaceRgb, 4, {1, 1, 1}, true, 0)));

    Plane r = plain.Channel(0).Rebuilt(), g = plain.Channel(1).Rebuilt(), b = plain.Channel(2).Rebuilt();
    BoxFilter(r, 64, 64, 0);
    BoxFilter(g, 64, 64, 0);
    BoxFilter(b, 64, 64, 0);
    ExpectReconstructionIs(filtered, r, g, b);
    EXPECT_NE(filtered.GetPsnr(6), plain.GetPsnr(6));
    EXPECT_EQ(filtered.CodedBytes(), plain.CodedBytes());
}

TEST(ImageCompressorTest, ABlockLargerThanAPlaneIsReportedAndTheOtherChannelsRun) {
    TempFolder folder;
    ASSERT_TRUE(testing::CropPng(TestData("photo64-a.png"), folder.File("small.png"), 20, 20));
    ImageCompressor compressor;
    ASSERT_TRUE(compressor.LoadImage(folder.File("small.png")));
    Status status = compressor.TrainAndCode(MakeJob(kColorSpaceYCbCr420, 12, {1, 1, 1}, true));
    EXPECT_FALSE(status);
    EXPECT_NE(status.message().find("channel 1"), std::string::npos);
    EXPECT_NE(status.message().find("channel 2"), std::string::npos);
    EXPECT_GT(compressor.GetNeuronCount(0), 0);
    EXPECT_EQ(compressor.GetNeuronCount(1), 0);
}

TEST(ImageCompressorTest, AContinuingJobAfterANewImageStartsAfresh) {
    ImageCompressor compressor;
    ASSERT_TRUE(compressor.LoadImage(TestData("photo64-a.png")));
    ASSERT_TRUE(compressor.TrainAndCode(MakeJob(kColorSpaceRgb, 8, {1, 1, 1}, false)));
    EXPECT_GT(compressor.GetNeuronCount(-1), 0);
}

TEST(ImageCompressorTest, SavesTheMeasuredReconstructionAsPng) {
    TempFolder folder;
    ImageCompressor compressor;
    EXPECT_FALSE(compressor.SaveReconstructionPng(folder.File("none.png")));
    ASSERT_TRUE(compressor.LoadImage(TestData("photo64-b.png")));
    ASSERT_TRUE(compressor.TrainAndCode(MakeJob(kColorSpaceYCbCr444, 8, {1, 1, 1}, true, 2)));
    ASSERT_TRUE(compressor.SaveReconstructionPng(folder.File("out.png")));

    PngImage saved;
    ASSERT_EQ(saved.Load(folder.File("out.png")), 0);
    ExpectReconstructionIs(compressor, saved.red, saved.green, saved.blue);
    EXPECT_FALSE(compressor.SaveReconstructionPng(folder.File("missing/out.png")));
}

}  // namespace
}  // namespace pictora
