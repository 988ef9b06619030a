#include "pipeline/ImageCompressor.h"

#include <gtest/gtest.h>

#include <vector>

#include "common/Jobs.h"
#include "common/TempFolder.h"
#include "image/PngFiles.h"
#include "support/FileIO.h"

namespace pictora {
namespace {

using testing::MakeJob;
using testing::TestData;

std::vector<std::uint8_t> FileBytes(const std::string& name) {
    std::vector<std::uint8_t> bytes;
    EXPECT_TRUE(ReadWholeFile(TestData(name), bytes));
    return bytes;
}

std::vector<std::uint8_t> CodedImage(const ImageCompressor& compressor) {
    std::vector<std::uint8_t> bytes;
    EXPECT_TRUE(compressor.EncodeCodedImage(bytes));
    return bytes;
}

// Training while the file is decoded, and continuing the run, gives the very
// steps that loading first gives, in every colour space and block size.
TEST(LoadAndTrainTest, TrainingWhileDecodingGivesTheStepsOfLoadingFirst) {
    const std::vector<std::uint8_t> png = FileBytes("photo500-tiger.png");
    for (ColorSpace colorSpace : {ColorSpace::Rgb, ColorSpace::YCbCr420}) {
        for (std::uint32_t side : {3u, 8u}) {
            ImageCompressor overlapped;
            ImageCompressor loadedFirst;
            ASSERT_TRUE(loadedFirst.LoadImage(png, "tiger"));
            for (bool first : {true, false}) {
                const TrainingJob job = MakeJob(colorSpace, side, {1, 1, 1}, first);
                ASSERT_TRUE(first ? overlapped.LoadAndTrain(png, "tiger", job) : overlapped.TrainAndCode(job));
                ASSERT_TRUE(loadedFirst.TrainAndCode(job));
                EXPECT_EQ(CodedImage(overlapped), CodedImage(loadedFirst)) << side;
                EXPECT_EQ(overlapped.Quality().psnrMean, loadedFirst.Quality().psnrMean);
            }
            EXPECT_EQ(overlapped.SourceImage().rgb->red, loadedFirst.SourceImage().rgb->red);
            EXPECT_EQ(overlapped.SourceImage().rgb->blue, loadedFirst.SourceImage().rgb->blue);
        }
    }
}

// Damage found after training began leaves no image and empty networks, with
// the message LoadImage gives; damage found before (an unsupported colour
// type, a file cut short) changes nothing.
TEST(LoadAndTrainTest, ADamagedFileIsReportedLikeLoadingIt) {
    const std::vector<std::uint8_t> damaged = testing::WithDamagedImageData(FileBytes("photo500-tiger.png"));
    ImageCompressor reference;
    const Status expected = reference.LoadImage(damaged, "damaged.png");
    ASSERT_FALSE(expected);

    ImageCompressor compressor;
    ASSERT_TRUE(compressor.LoadImage(TestData("photo64-a.png")));
    ASSERT_TRUE(compressor.TrainAndCode(MakeJob(ColorSpace::Rgb, 4, {1, 1, 1}, true)));
    for (const char* name : {"refuse/palette-64.png", "photo500-tiger.png"}) {
        std::vector<std::uint8_t> refused = FileBytes(name);
        if (refused.size() > 100000) refused.resize(refused.size() * 3 / 5);
        const Status status = compressor.LoadAndTrain(refused, "refused.png", MakeJob(ColorSpace::Rgb, 4, {1, 1, 1}, true));
        EXPECT_FALSE(status) << name;
        EXPECT_TRUE(compressor.IsImageLoaded());
        EXPECT_TRUE(compressor.HasReconstruction());
    }

    const Status status = compressor.LoadAndTrain(damaged, "damaged.png", MakeJob(ColorSpace::Rgb, 4, {1, 1, 1}, true));
    EXPECT_EQ(status.kind(), expected.kind());
    EXPECT_EQ(status.message(), expected.message());
    EXPECT_FALSE(compressor.IsImageLoaded());
    EXPECT_EQ(compressor.GetNeuronCount(-1), 0);
    // No image is left to train on: a step is refused.
    EXPECT_EQ(compressor.TrainAndCode(MakeJob(ColorSpace::Rgb, 4, {1, 1, 1}, false)).kind(), ErrorKind::NoImage);

    ASSERT_TRUE(compressor.LoadAndTrain(FileBytes("photo64-a.png"), "a.png", MakeJob(ColorSpace::Rgb, 4, {1, 1, 1}, true)));
    EXPECT_TRUE(compressor.HasReconstruction());
}

}  // namespace
}  // namespace pictora
