#include "pipeline/CodedImage.h"

#include <gtest/gtest.h>

#include <random>

#include "common/Jobs.h"
#include "common/SyntheticPng.h"
#include "common/TempFolder.h"
#include "pipeline/ImageCompressor.h"

namespace pictora {
namespace {

using testing::TempFolder;
using testing::TestData;
using Bytes = std::vector<std::uint8_t>;

void ExpectSameImage(const RgbImage& actual, const RgbImage& expected) {
    ASSERT_EQ(actual.height, expected.height);
    ASSERT_EQ(actual.width, expected.width);
    EXPECT_EQ(actual.red, expected.red);
    EXPECT_EQ(actual.green, expected.green);
    EXPECT_EQ(actual.blue, expected.blue);
}

struct ValueCase {
    ColorSpace colorSpace;
    std::int32_t height, width;
    std::uint32_t side;
    LowPassFilter filter;
    DeblockStrength deblock;
};

class CodedImageValueTest : public ::testing::TestWithParam<ValueCase> {};

// The value read from a compressor's bytes writes those bytes again, is what
// the compressor holds, and reconstructs to the compressor's own pictures:
// the one the training step made (its filter included) and the one a
// compressor that decodes the bytes shows.
TEST_P(CodedImageValueTest, RoundTripsAndReconstructsAsTheCompressorDoes) {
    const ValueCase param = GetParam();
    TempFolder folder;
    ASSERT_TRUE(testing::CropPng(TestData("photo64-c.png"), folder.File("c.png"), param.height, param.width));
    ImageCompressor trained;
    ASSERT_TRUE(trained.LoadImage(folder.File("c.png")));
    TrainingJob job = testing::MakeJob(param.colorSpace, param.side, {1, 1, 1}, true, param.filter);
    job.channels[1].dimension = 4;  // a chroma grid of its own
    job.method.deblock = param.deblock;
    ASSERT_TRUE(trained.TrainAndCode(job));
    job.restart = false;
    ASSERT_TRUE(trained.TrainAndCode(job));
    Bytes bytes;
    ASSERT_TRUE(trained.EncodeCodedImage(bytes));

    CodedImage image;
    ASSERT_TRUE(DecodeCodedImage(bytes, image));
    EXPECT_EQ(image, trained.Coded());
    EXPECT_EQ(image.colorSpace, param.colorSpace);
    EXPECT_EQ(image.Rows(), static_cast<std::uint32_t>(param.height));
    Bytes again;
    ASSERT_TRUE(EncodeCodedImage(image, again));
    EXPECT_EQ(again, bytes);

    ExpectSameImage(Reconstruct(image, param.filter, param.deblock), trained.ReconstructedImage());
    ImageCompressor decoder;
    decoder.SetMethod(job.method);
    ASSERT_TRUE(decoder.DecodeCodedImage(bytes));
    ExpectSameImage(Reconstruct(image, LowPassFilter::None, param.deblock), decoder.ReconstructedImage());
    ImageCompressor adopter;
    adopter.SetMethod(job.method);
    ASSERT_TRUE(adopter.Adopt(image));
    EXPECT_EQ(adopter.Coded(), image);
    ExpectSameImage(adopter.ReconstructedImage(), decoder.ReconstructedImage());
}

INSTANTIATE_TEST_SUITE_P(
    ColourSpacesSizesAndSides, CodedImageValueTest,
    ::testing::Values(ValueCase{ColorSpace::Rgb, 64, 64, 8, LowPassFilter::None, DeblockStrength::Off},
                      ValueCase{ColorSpace::Rgb, 45, 61, 3, LowPassFilter::Box5, DeblockStrength::Off},
                      ValueCase{ColorSpace::YCbCr444, 45, 61, 3, LowPassFilter::None, DeblockStrength::Medium},
                      ValueCase{ColorSpace::YCbCr420, 47, 63, 5, LowPassFilter::Box3, DeblockStrength::Strong},
                      ValueCase{ColorSpace::YCbCr420, 33, 64, 2, LowPassFilter::None, DeblockStrength::Light}));

// Refused bytes leave the value as it was, whatever was wrong with them.
TEST(CodedImageValueTest, RefusedBytesLeaveTheValueUnchanged) {
    ImageCompressor trained;
    ASSERT_TRUE(trained.LoadImage(TestData("photo64-b.png")));
    ASSERT_TRUE(trained.TrainAndCode(testing::MakeJob(ColorSpace::YCbCr420, 4, {1, 1, 1}, true)));
    Bytes good;
    ASSERT_TRUE(trained.EncodeCodedImage(good));
    const CodedImage before = trained.Coded();

    CodedImage image = before;
    int refused = 0;
    for (std::size_t length = 0; length < good.size(); length += 1 + length / 8) {
        const Bytes cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(length));
        ASSERT_FALSE(DecodeCodedImage(cut, image)) << length;
        ASSERT_EQ(image, before) << length;
    }
    std::mt19937 random(7);
    for (int trial = 0; trial < 300; ++trial) {
        Bytes flipped = good;
        flipped[random() % std::min<std::size_t>(flipped.size(), 96)] ^= static_cast<std::uint8_t>(1u << (random() % 8));
        if (DecodeCodedImage(flipped, image)) {
            image = before;
            continue;
        }
        ++refused;
        ASSERT_EQ(image, before) << trial;
    }
    EXPECT_GT(refused, 0);
}

// A small image made by hand: the blocks pasted in raster order, the pixels
// outside them repeating the nearest rebuilt one, and 4:2:0 chroma of half
// size taken to full size with the odd last row and column repeated.
TEST(CodedImageValueTest, ReconstructionRepeatsEdgesAndUpsamplesChroma) {
    CodedImage image;
    image.colorSpace = ColorSpace::Rgb;
    CodedChannel& red = image.channels[0];
    red = {5, 7, 2, {10, 20, 30, 40, 100, 110, 120, 130}, {0, 1, 1, 0, 0, 0}};
    image.channels[1] = {5, 7, 5, {}, {}};  // no codebook: zeros
    image.channels[2] = {5, 7, 1, {9}, std::vector<std::uint32_t>(35, 0)};
    const RgbImage rgb = Reconstruct(image, LowPassFilter::None, DeblockStrength::Off);
    ASSERT_EQ(rgb.height, 5);
    ASSERT_EQ(rgb.width, 7);
    const std::uint8_t expected[5][7] = {{10, 20, 100, 110, 100, 110, 110}, {30, 40, 120, 130, 120, 130, 130},
                                         {10, 20, 10, 20, 10, 20, 20},      {30, 40, 30, 40, 30, 40, 40},
                                         {30, 40, 30, 40, 30, 40, 40}};
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            EXPECT_EQ(rgb.red[y][x], expected[y][x]) << y << "," << x;
            EXPECT_EQ(rgb.green[y][x], 0) << y << "," << x;
            EXPECT_EQ(rgb.blue[y][x], 9) << y << "," << x;
        }

    // The same planes as chroma of 4:2:0 at half size: Cb 2 x 3 of one
    // neuron per pixel, upsampled; Y stays as it is, then converts.
    image.colorSpace = ColorSpace::YCbCr420;
    image.channels[1] = {2, 3, 1, {128}, std::vector<std::uint32_t>(6, 0)};
    image.channels[2] = {2, 3, 1, {100, 160}, {0, 1, 0, 0, 1, 0}};
    const RgbImage converted = Reconstruct(image, LowPassFilter::None, DeblockStrength::Off);
    CodedImage full = image;
    full.channels[1] = {5, 7, 1, {128}, std::vector<std::uint32_t>(35, 0)};
    // Column x takes chroma column min(x / 2, 2): 0 0 1 1 2 2 2.
    std::vector<std::uint32_t> crCodes;
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) crCodes.push_back(std::min(x / 2, 2) == 1 ? 1u : 0u);
    full.channels[2] = {5, 7, 1, {100, 160}, crCodes};
    full.colorSpace = ColorSpace::YCbCr444;
    ExpectSameImage(converted, Reconstruct(full, LowPassFilter::None, DeblockStrength::Off));
}

// A value no file can hold is refused by the encoder and by a compressor,
// which keeps what it had.
TEST(CodedImageValueTest, AValueNoFileCanHoldIsRefused) {
    ImageCompressor compressor;
    ASSERT_TRUE(compressor.LoadImage(TestData("photo64-a.png")));
    ASSERT_TRUE(compressor.TrainAndCode(testing::MakeJob(ColorSpace::Rgb, 4, {1, 1, 1}, true)));
    const CodedImage held = compressor.Coded();
    Bytes bytes;

    CodedImage outOfRange = held;
    outOfRange.channels[1].codes.back() = outOfRange.channels[1].NeuronCount();
    EXPECT_FALSE(EncodeCodedImage(outOfRange, bytes));
    EXPECT_TRUE(bytes.empty());
    EXPECT_FALSE(compressor.Adopt(outOfRange));
    EXPECT_EQ(compressor.Coded(), held);

    CodedImage missingCodes = held;
    missingCodes.channels[2].codes.pop_back();
    EXPECT_FALSE(EncodeCodedImage(missingCodes, bytes));

    CodedImage largerChroma = held;
    largerChroma.channels[1].rows += 4;
    largerChroma.channels[1].codes.resize(largerChroma.channels[1].codes.size() + 16, 0);
    EXPECT_TRUE(EncodeCodedImage(largerChroma, bytes)) << "a writable section";
    const Status refused = compressor.Adopt(largerChroma);
    EXPECT_FALSE(refused);
    EXPECT_NE(refused.message().find("channel 1 has a plane of 64 x 68"), std::string::npos) << refused.message();
    EXPECT_EQ(compressor.Coded(), held);
}

}  // namespace
}  // namespace pictora
