#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>

#include "common/SyntheticPng.h"
#include "common/Jobs.h"
#include "common/TempFolder.h"
#include "pipeline/ImageCompressor.h"
#include "quantizer/BlockVector.h"
#include "quantizer/CodebookSection.h"
#include "support/FileIO.h"

namespace pictora {
namespace {

using testing::TempFolder;
using testing::TestData;
using Bytes = std::vector<std::uint8_t>;

TrainingJob Job(ColorSpace colorSpace, std::uint32_t side) { return testing::MakeJob(colorSpace, side, {1, 1, 1}, true); }

TEST(CodebookSectionTest, ThreeNeuronsOfNineMakeA248ByteSection) {
    Plane plane(3, 3);
    KohonenNetwork network;
    network.Configure(3, 3, &plane);
    network.Reset(9);
    std::vector<double> weights(10, 0.25);
    for (int i = 0; i < 3; ++i) network.Neurons().Append(weights.data(), 0, 0);
    Bytes bytes;
    ByteWriter out(bytes);
    ASSERT_TRUE(WriteCodebookSection(network, out, 1));
    ASSERT_EQ(bytes.size(), 248u);
    EXPECT_EQ(bytes[0], 3);
    EXPECT_EQ(bytes[3], 1);
    EXPECT_EQ(bytes[4], 9);
    EXPECT_EQ(bytes[15], 0x3F);  // 0.25 = 0x3FD0000000000000, high byte last

    ByteReader in(bytes);
    ASSERT_TRUE(SkipCodebookSection(in));
    EXPECT_EQ(in.Remaining(), 0u);
    ByteReader cut(std::span<const std::uint8_t>(bytes).first(247));
    EXPECT_FALSE(SkipCodebookSection(cut));
    EXPECT_EQ(cut.Position(), 0u);
}

class CodebookFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(trained_.LoadImage(TestData("photo64-a.png")));
        ASSERT_TRUE(trained_.TrainAndCode(Job(ColorSpace::YCbCr444, 4)));
        ASSERT_TRUE(trained_.WriteCodebookFile(folder_.File("a.cod")));
    }

    TempFolder folder_;
    ImageCompressor trained_;
};

TEST_F(CodebookFilesTest, AppliedToItsOwnImageReproducesTheRunsCodes) {
    ImageCompressor applied;
    ASSERT_TRUE(applied.LoadImage(TestData("photo64-a.png")));
    ASSERT_TRUE(applied.ApplyCodebookFile(folder_.File("a.cod")));
    EXPECT_EQ(applied.ColorSpace(), ColorSpace::YCbCr444);
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(applied.GetNeuronCount(c), trained_.GetNeuronCount(c));
        EXPECT_EQ(applied.GetPrunedCount(c), 0);
        const std::size_t blocks = 16 * 16;
        for (std::size_t b = 0; b < blocks; ++b)
            ASSERT_EQ(applied.Channel(c).Codes()[b], trained_.Channel(c).Codes()[b]) << c << " block " << b;
    }
    EXPECT_DOUBLE_EQ(applied.Quality().psnrMean, trained_.Quality().psnrMean);
    EXPECT_EQ(applied.CodedBytes(), trained_.CodedBytes());
}

TEST_F(CodebookFilesTest, AppliedToAnotherPhotoPrunesWhatNoBlockChooses) {
    ImageCompressor applied;
    ASSERT_TRUE(applied.LoadImage(TestData("photo64-d.png")));
    ASSERT_TRUE(applied.ApplyCodebookFile(folder_.File("a.cod")));
    EXPECT_GT(applied.GetPrunedCount(-1), 0);
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(applied.GetNeuronCount(c) + applied.GetPrunedCount(c), trained_.GetNeuronCount(c));
    EXPECT_TRUE(std::isfinite(applied.Quality().psnrMean));
}

TEST_F(CodebookFilesTest, OneSectionPerChannelFromAnyFile) {
    ImageCompressor whole, sections;
    ASSERT_TRUE(whole.LoadImage(TestData("photo64-b.png")));
    ASSERT_TRUE(sections.LoadImage(TestData("photo64-b.png")));
    ASSERT_TRUE(whole.ApplyCodebookFile(folder_.File("a.cod")));
    const std::string path = folder_.File("a.cod");
    ASSERT_TRUE(sections.ApplyCodebookFiles({path, path, path}, {1, 2, 3}));
    Bytes a, b;
    ASSERT_TRUE(whole.EncodeCodedImage(a));
    ASSERT_TRUE(sections.EncodeCodedImage(b));
    EXPECT_EQ(a, b);

    // Channel 0's code comes from the third section: the colour space is the same
    // for every section of one file, so only the neurons change.
    ASSERT_TRUE(sections.ApplyCodebookFiles({path, path, path}, {3, 3, 3}));
    EXPECT_EQ(sections.GetNeuronCount(0) + sections.GetPrunedCount(0), trained_.GetNeuronCount(2));

    EXPECT_FALSE(sections.ApplyCodebookFiles({path, path, path}, {1, 4, 1}));
    EXPECT_FALSE(sections.ApplyCodebookFiles({path, path, path}, {0, 1, 1}));
    EXPECT_FALSE(sections.ApplyCodebookFiles({path, folder_.File("absent.cod"), path}, {1, 2, 3}));
}

TEST_F(CodebookFilesTest, RefusedCodebooksChangeNothing) {
    ImageCompressor target;
    EXPECT_FALSE(target.ApplyCodebookFile(folder_.File("a.cod")));  // no image yet
    ASSERT_TRUE(target.LoadImage(TestData("photo64-c.png")));
    ASSERT_TRUE(target.TrainAndCode(Job(ColorSpace::Rgb, 8)));
    Bytes before;
    ASSERT_TRUE(target.EncodeCodedImage(before));
    double psnr = target.Quality().psnrMean;

    Bytes good;
    ASSERT_TRUE(ReadWholeFile(folder_.File("a.cod"), good));
    std::mt19937 random(7);
    for (int trial = 0; trial < 120; ++trial) {
        Bytes damaged = good;
        if (trial % 3 == 0) {
            damaged.resize(random() % good.size());
        } else {
            const std::size_t at = trial % 3 == 1 ? random() % 8 : random() % damaged.size();
            damaged[at] ^= static_cast<std::uint8_t>(1u << (random() % 8));
        }
        ASSERT_TRUE(WriteFileAtomically(folder_.File("bad.cod"), damaged));
        if (!target.ApplyCodebookFile(folder_.File("bad.cod"))) {
            Bytes after;
            ASSERT_TRUE(target.EncodeCodedImage(after));
            EXPECT_EQ(after, before);
            EXPECT_EQ(target.Quality().psnrMean, psnr);
            EXPECT_EQ(target.ColorSpace(), ColorSpace::Rgb);
        } else {
            ASSERT_TRUE(target.TrainAndCode(Job(ColorSpace::Rgb, 8)));
            ASSERT_TRUE(target.EncodeCodedImage(before));
            psnr = target.Quality().psnrMean;
        }
    }
}

TEST_F(CodebookFilesTest, ACodeAboveTwoLoadsAsNoColourSpace) {
    Bytes bytes;
    ASSERT_TRUE(ReadWholeFile(folder_.File("a.cod"), bytes));
    bytes[3] = 9;
    ASSERT_TRUE(WriteFileAtomically(folder_.File("nine.cod"), bytes));
    ImageCompressor applied;
    ASSERT_TRUE(applied.LoadImage(TestData("photo64-a.png")));
    ASSERT_TRUE(applied.ApplyCodebookFile(folder_.File("nine.cod")));
    EXPECT_EQ(applied.ColorSpace(), ColorSpace::None);
}

TEST_F(CodebookFilesTest, ABlockLargerThanTheImageIsRefused) {
    ImageCompressor big;
    ASSERT_TRUE(big.LoadImage(TestData("photo64-a.png")));
    ASSERT_TRUE(big.TrainAndCode(Job(ColorSpace::YCbCr420, 12)));
    ASSERT_TRUE(big.WriteCodebookFile(folder_.File("big.cod")));
    // 12 x 12 blocks fit the 32 x 32 chroma of 4:2:0, not the 10 x 10 of a 20 x 20 crop.
    ASSERT_TRUE(testing::CropPng(TestData("photo64-a.png"), folder_.File("small.png"), 20, 20));
    ImageCompressor small;
    ASSERT_TRUE(small.LoadImage(folder_.File("small.png")));
    Status status = small.ApplyCodebookFile(folder_.File("big.cod"));
    EXPECT_FALSE(status);
    EXPECT_NE(status.message().find("channel 1"), std::string::npos) << status.message();
    EXPECT_EQ(small.GetNeuronCount(-1), 0);
}

// A coded image keeps each neuron's pixels; the codebook saved after decoding
// it must code the image like the trained one. Its neurons weigh what their
// pixels normalise to as a block, augmentation included. Applied, they differ
// from the trained codebook only by rounding: their pixel forms by a unit at
// most (pixel -> weight -> pixel truncates), and a block may choose another
// neuron where the pixel forms' weights moved it. Without the augmentation
// component nearly every block chose the same few neurons.
TEST(DecodedCodebookTest, ACodebookSavedFromADecodedImageCodesLikeTheTrainedOne) {
    struct Case {
        const char* photo;
        ColorSpace colorSpace;
        std::uint32_t side;
    };
    for (const Case& test : {Case{"photo64-a.png", ColorSpace::Rgb, 8}, Case{"photo64-b.png", ColorSpace::Rgb, 4},
                             Case{"photo64-c.png", ColorSpace::YCbCr444, 3},
                             Case{"photo500-tiger.png", ColorSpace::YCbCr420, 5}}) {
        SCOPED_TRACE(test.photo);
        ImageCompressor trained;
        ASSERT_TRUE(trained.LoadImage(TestData(test.photo)));
        ASSERT_TRUE(trained.TrainAndCode(Job(test.colorSpace, test.side)));
        Bytes coded, trainedBooks, decodedBooks;
        ASSERT_TRUE(trained.EncodeCodedImage(coded));
        ASSERT_TRUE(trained.EncodeCodebooks(trainedBooks));
        ImageCompressor decoded;
        ASSERT_TRUE(decoded.DecodeCodedImage(coded));
        ASSERT_TRUE(decoded.EncodeCodebooks(decodedBooks));
        for (int c = 0; c < 3; ++c) {
            const NeuronList& read = decoded.Channel(c).Neurons();
            BlockVector block;
            block.Resize(read.Dimension());
            std::vector<double> expected(read.Dimension() + 1);
            for (std::uint32_t i = 0; i < read.Count(); ++i) {
                block.NormalisePixels(trained.Channel(c).Neurons().At(i).pixels.data(), expected.data());
                ASSERT_EQ(read.At(i).weights, expected) << "channel " << c << ", neuron " << i;
            }
        }

        ImageCompressor withTrained, withDecoded;
        ASSERT_TRUE(withTrained.LoadImage(TestData(test.photo)));
        ASSERT_TRUE(withDecoded.LoadImage(TestData(test.photo)));
        ASSERT_TRUE(withTrained.ApplyCodebooks(trainedBooks, "trained.cod"));
        ASSERT_TRUE(withDecoded.ApplyCodebooks(decodedBooks, "decoded.cod"));
        EXPECT_NEAR(withDecoded.Quality().psnrMean, withTrained.Quality().psnrMean, 0.6);
        for (int c = 0; c < 3; ++c) {
            SCOPED_TRACE("channel " + std::to_string(c));
            EXPECT_EQ(withDecoded.GetNeuronCount(c) + withDecoded.GetPrunedCount(c), trained.GetNeuronCount(c));
            EXPECT_LE(withDecoded.GetPrunedCount(c), trained.GetNeuronCount(c) / 20);
            const KohonenNetwork& ours = withDecoded.Channel(c);
            const Plane& theirs = withTrained.Channel(c).Rebuilt();
            std::uint64_t withinAUnit = 0;
            for (std::uint32_t y = 0; y < ours.Rows(); ++y)
                for (std::uint32_t x = 0; x < ours.Columns(); ++x)
                    withinAUnit += std::abs(int{ours.Rebuilt()[y][x]} - int{theirs[y][x]}) <= 1;
            EXPECT_GE(withinAUnit, std::uint64_t{ours.Rows()} * ours.Columns() * 85 / 100);
        }
    }
}

}  // namespace
}  // namespace pictora
