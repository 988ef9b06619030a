#include "pipeline/ImageCompressor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "common/SyntheticPng.h"
#include "common/Jobs.h"
#include "common/TempFolder.h"
#include "image/BoxFilter.h"
#include "image/ColorConversion.h"
#include "image/LibpngReference.h"

namespace pictora {
namespace {

using testing::TempFolder;
using testing::TestData;

using testing::MakeJob;

void ExpectReconstructionIs(const ImageCompressor& compressor, const Plane& r, const Plane& g, const Plane& b) {
    const RgbImage rgb = compressor.ReconstructedImage();
    const Plane* expected[3] = {&r, &g, &b};
    const Plane* actual[3] = {&rgb.red, &rgb.green, &rgb.blue};
    for (int k = 0; k < 3; ++k)
        for (int i = 0; i < rgb.height; ++i)
            for (int j = 0; j < rgb.width; ++j)
                ASSERT_EQ((*actual[k])[i][j], (*expected[k])[i][j]) << "plane " << k << " at " << i << "," << j;
}

// A step needs an image: without one it is refused and changes nothing, so
// a coded image decoded before keeps its colour space.
TEST(ImageCompressorTest, AJobWithoutAnImageIsRefusedAndChangesNothing) {
    ImageCompressor compressor;
    const Status refused = compressor.TrainAndCode(MakeJob(ColorSpace::YCbCr420, 8, {1, 1, 1}, true));
    EXPECT_FALSE(refused);
    EXPECT_EQ(refused.kind(), ErrorKind::NoImage);
    EXPECT_EQ(compressor.ColorSpace(), ColorSpace::Rgb);
    EXPECT_EQ(compressor.GetNeuronCount(-1), 0);
    EXPECT_FALSE(compressor.IsImageLoaded());
    EXPECT_FALSE(compressor.HasReconstruction());
}

TEST(ImageCompressorTest, FailedLoadKeepsTheImageItHad) {
    ImageCompressor compressor;
    ASSERT_TRUE(compressor.LoadImage(TestData("photo64-a.png")));
    ASSERT_TRUE(compressor.TrainAndCode(MakeJob(ColorSpace::Rgb, 8, {1, 1, 1}, true)));
    const int neurons = compressor.GetNeuronCount(-1);

    Status refused = compressor.LoadImage(TestData("refuse/palette-64.png"));
    EXPECT_FALSE(refused);
    EXPECT_NE(refused.message().find("palette-64.png"), std::string::npos);
    EXPECT_TRUE(compressor.IsImageLoaded());
    EXPECT_EQ(compressor.GetImageHeight(), 64);
    EXPECT_EQ(compressor.GetNeuronCount(-1), neurons);
    ASSERT_NE(compressor.SourceImage().rgb, nullptr);
    EXPECT_EQ(compressor.SourceImage().rgb->width, 64);
}

class ColourSpaceJobTest : public ::testing::TestWithParam<ColorSpace> {};

TEST_P(ColourSpaceJobTest, TwoStepsCodeMeasureAndDrawTheImage) {
    const ColorSpace colorSpace = GetParam();
    ImageCompressor compressor;
    ASSERT_TRUE(compressor.LoadImage(TestData("photo64-b.png")));
    ASSERT_TRUE(compressor.TrainAndCode(MakeJob(colorSpace, 4, {1, 1, 1}, true)));
    ASSERT_TRUE(compressor.TrainAndCode(MakeJob(colorSpace, 4, {1, 1, 1}, false)));

    const std::uint32_t chromaSide = colorSpace == ColorSpace::YCbCr420 ? 32 : 64;
    EXPECT_EQ(compressor.Channel(1).Rows(), chromaSide);
    EXPECT_EQ(compressor.Channel(2).Columns(), chromaSide);
    std::uint32_t coded = 0;
    for (int c = 0; c < 3; ++c) {
        EXPECT_GT(compressor.GetNeuronCount(c), 0);
        coded += compressor.Channel(c).CodedBytes();
    }
    EXPECT_EQ(compressor.CodedBytes(), coded);
    EXPECT_DOUBLE_EQ(compressor.GetCompressionRate(-1), coded / (3.0 * 64 * 64));
    EXPECT_TRUE(std::isfinite(compressor.Quality().psnrMean));
    EXPECT_GT(compressor.Quality().psnrMean, 20.0);

    EXPECT_TRUE(compressor.HasReconstruction());
    EXPECT_EQ(compressor.ReconstructionColumns(), 64u);
    for (int c = 0; c < 3; ++c) EXPECT_EQ(compressor.Channel(c).Mask().Height(), 64u) << c;

    // The same inputs give the same numbers on every run.
    ImageCompressor again;
    ASSERT_TRUE(again.LoadImage(TestData("photo64-b.png")));
    ASSERT_TRUE(again.TrainAndCode(MakeJob(colorSpace, 4, {1, 1, 1}, true)));
    ASSERT_TRUE(again.TrainAndCode(MakeJob(colorSpace, 4, {1, 1, 1}, false)));
    const StepResult first = compressor.Result(StepOrigin::TrainingStep, 2);
    const StepResult second = again.Result(StepOrigin::TrainingStep, 2);
    EXPECT_EQ(second.figures.quality.psnr, first.figures.quality.psnr);
    EXPECT_EQ(second.figures.quality.mse, first.figures.quality.mse);
    EXPECT_EQ(second.figures.quality.psnrMean, first.figures.quality.psnrMean);
    EXPECT_EQ(second.compressionRate, first.compressionRate);
    EXPECT_EQ(second.codedBytes, first.codedBytes);
    for (int c = 0; c < 3; ++c) EXPECT_EQ(second.channels[c].neurons, first.channels[c].neurons);
}

INSTANTIATE_TEST_SUITE_P(AllColourSpaces, ColourSpaceJobTest,
                         ::testing::Values(ColorSpace::Rgb, ColorSpace::YCbCr444, ColorSpace::YCbCr420));

// The Y, Cb, Cr and 4:2:0 planes are derived only for a job that codes in
// YCbCr, and a job then codes exactly what it would with planes derived at load.
TEST(ImageCompressorTest, YCbCrPlanesAreDerivedForTheJobThatNeedsThem) {
    ImageCompressor lazy;
    ASSERT_TRUE(lazy.LoadImage(TestData("photo64-d.png")));
    EXPECT_FALSE(lazy.SourceImage().HasYCbCrPlanes());
    ASSERT_TRUE(lazy.TrainAndCode(MakeJob(ColorSpace::Rgb, 4, {1, 1, 1}, true)));
    EXPECT_FALSE(lazy.SourceImage().HasYCbCrPlanes());

    ImageCompressor eager;
    ASSERT_TRUE(eager.LoadImage(TestData("photo64-d.png")));
    eager.DeriveSourcePlanes();
    ASSERT_TRUE(eager.SourceImage().HasYCbCrPlanes());
    for (ColorSpace colorSpace : {ColorSpace::YCbCr420, ColorSpace::YCbCr444}) {
        ASSERT_TRUE(lazy.TrainAndCode(MakeJob(colorSpace, 4, {1, 1, 1}, true)));
        ASSERT_TRUE(eager.TrainAndCode(MakeJob(colorSpace, 4, {1, 1, 1}, true)));
        EXPECT_TRUE(lazy.SourceImage().HasYCbCrPlanes());
        EXPECT_EQ(lazy.SourceImage().chromaCb420, eager.SourceImage().chromaCb420);
        std::vector<std::uint8_t> lazyBytes, eagerBytes;
        ASSERT_TRUE(lazy.EncodeCodedImage(lazyBytes));
        ASSERT_TRUE(eager.EncodeCodedImage(eagerBytes));
        EXPECT_EQ(lazyBytes, eagerBytes);
        EXPECT_EQ(lazy.Quality().psnrMean, eager.Quality().psnrMean);
    }

    // Applied codebooks need the planes of their colour space too.
    std::vector<std::uint8_t> books;
    ASSERT_TRUE(eager.EncodeCodebooks(books));
    ImageCompressor applied;
    ASSERT_TRUE(applied.LoadImage(TestData("photo64-d.png")));
    ASSERT_TRUE(applied.ApplyCodebooks(books, "books.cod"));
    EXPECT_TRUE(applied.SourceImage().HasYCbCrPlanes());
    EXPECT_EQ(applied.Quality().psnrMean, eager.Quality().psnrMean);
}

TEST(ImageCompressorTest, IdleChannelsEnterConversionWithTheirOwnReconstruction) {
    ImageCompressor compressor;
    ASSERT_TRUE(compressor.LoadImage(TestData("photo64-c.png")));
    ASSERT_TRUE(compressor.TrainAndCode(MakeJob(ColorSpace::YCbCr444, 4, {1, 1, 1}, true)));
    const Plane cb = compressor.Channel(1).Rebuilt();
    const Plane cr = compressor.Channel(2).Rebuilt();
    for (int job = 0; job < 2; ++job) ASSERT_TRUE(compressor.TrainAndCode(MakeJob(ColorSpace::YCbCr444, 4, {1, 0, 0}, false)));

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
    ASSERT_TRUE(compressor.TrainAndCode(MakeJob(ColorSpace::YCbCr420, 3, {1, 1, 1}, true, LowPassFilter::Box5)));
    EXPECT_EQ(compressor.Channel(0).Rows(), 29u);
    EXPECT_EQ(compressor.Channel(1).Rows(), 14u);
    EXPECT_EQ(compressor.Channel(1).Columns(), 18u);
    EXPECT_EQ(compressor.Channel(1).BlockCount(), 14u * 18u / 9u);
    EXPECT_TRUE(std::isfinite(compressor.Quality().psnrMean));
}

TEST(ImageCompressorTest, TheFilterIsPartOfWhatIsMeasured) {
    ImageCompressor plain, filtered;
    ASSERT_TRUE(plain.LoadImage(TestData("photo64-a.png")));
    ASSERT_TRUE(filtered.LoadImage(TestData("photo64-a.png")));
    ASSERT_TRUE(plain.TrainAndCode(MakeJob(ColorSpace::Rgb, 4, {1, 1, 1}, true)));
    ASSERT_TRUE(filtered.TrainAndCode(MakeJob(ColorSpace::Rgb, 4, {1, 1, 1}, true, LowPassFilter::Box3)));

    Plane r = plain.Channel(0).Rebuilt(), g = plain.Channel(1).Rebuilt(), b = plain.Channel(2).Rebuilt();
    BoxFilter(r, 64, 64, LowPassFilter::Box3);
    BoxFilter(g, 64, 64, LowPassFilter::Box3);
    BoxFilter(b, 64, 64, LowPassFilter::Box3);
    ExpectReconstructionIs(filtered, r, g, b);
    EXPECT_NE(filtered.Quality().psnrMean, plain.Quality().psnrMean);
    EXPECT_EQ(filtered.CodedBytes(), plain.CodedBytes());
}

TEST(ImageCompressorTest, ABlockLargerThanAPlaneIsReportedAndTheOtherChannelsRun) {
    TempFolder folder;
    ASSERT_TRUE(testing::CropPng(TestData("photo64-a.png"), folder.File("small.png"), 20, 20));
    ImageCompressor compressor;
    ASSERT_TRUE(compressor.LoadImage(folder.File("small.png")));
    Status status = compressor.TrainAndCode(MakeJob(ColorSpace::YCbCr420, 12, {1, 1, 1}, true));
    EXPECT_FALSE(status);
    EXPECT_NE(status.message().find("channel 1"), std::string::npos);
    EXPECT_NE(status.message().find("channel 2"), std::string::npos);
    EXPECT_GT(compressor.GetNeuronCount(0), 0);
    EXPECT_EQ(compressor.GetNeuronCount(1), 0);
}

TEST(ImageCompressorTest, AContinuingJobAfterANewImageStartsAfresh) {
    ImageCompressor compressor;
    ASSERT_TRUE(compressor.LoadImage(TestData("photo64-a.png")));
    ASSERT_TRUE(compressor.TrainAndCode(MakeJob(ColorSpace::Rgb, 8, {1, 1, 1}, false)));
    EXPECT_GT(compressor.GetNeuronCount(-1), 0);
}

TEST(ImageCompressorTest, SavesTheMeasuredReconstructionAsPng) {
    TempFolder folder;
    ImageCompressor compressor;
    EXPECT_FALSE(compressor.SaveReconstructionPng(folder.File("none.png")));
    ASSERT_TRUE(compressor.LoadImage(TestData("photo64-b.png")));
    ASSERT_TRUE(compressor.TrainAndCode(MakeJob(ColorSpace::YCbCr444, 8, {1, 1, 1}, true, LowPassFilter::Box7)));
    ASSERT_TRUE(compressor.SaveReconstructionPng(folder.File("out.png")));

    RgbImage saved;
    ASSERT_TRUE(ReadPngFile(folder.File("out.png"), saved));
    ExpectReconstructionIs(compressor, saved.red, saved.green, saved.blue);
    EXPECT_FALSE(compressor.SaveReconstructionPng(folder.File("missing/out.png")));
}

// At the defaults (RGB, 8 x 8, R 0.1, one step) a reconstruction's PNG is at
// most a tenth larger than libpng makes it with zlib's defaults, as the
// program wrote them before.
TEST(ImageCompressorTest, ReconstructionPngsStayWithinATenthOfZlibsDefaultSize) {
    for (const char* photo : {"photo500-tiger.png", "../../samples/tulips.png"}) {
        ImageCompressor compressor;
        ASSERT_TRUE(compressor.LoadImage(TestData(photo)));
        ASSERT_TRUE(compressor.TrainAndCode(MakeJob(ColorSpace::Rgb, 8, {1, 1, 1}, true)));
        std::vector<std::uint8_t> written;
        ASSERT_TRUE(compressor.EncodeReconstructionPng(written));
        const RgbImage rgb = compressor.ReconstructedImage();
        std::vector<std::vector<std::uint8_t>> rows(static_cast<std::size_t>(rgb.height));
        for (int i = 0; i < rgb.height; ++i)
            for (int j = 0; j < rgb.width; ++j) rows[i].insert(rows[i].end(), {rgb.red[i][j], rgb.green[i][j], rgb.blue[i][j]});
        const std::vector<std::uint8_t> zlibDefault =
            testing::LibpngEncodeRgb(static_cast<std::uint32_t>(rgb.width), rows, 8, PNG_INTERLACE_NONE);
        EXPECT_LE(written.size(), zlibDefault.size() * 11 / 10) << photo;
        EXPECT_GT(written.size(), zlibDefault.size() * 9 / 10) << photo;  // a fast level, not a slow one
    }
}

}  // namespace
}  // namespace pictora
