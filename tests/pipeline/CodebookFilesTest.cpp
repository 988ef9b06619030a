#include <gtest/gtest.h>

#include <random>

#include "common/SyntheticPng.h"
#include "common/Jobs.h"
#include "common/TempFolder.h"
#include "pipeline/ImageCompressor.h"
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
    EXPECT_DOUBLE_EQ(applied.GetPsnr(PsnrOf::Mean), trained_.GetPsnr(PsnrOf::Mean));
    EXPECT_EQ(applied.CodedBytes(), trained_.CodedBytes());
}

TEST_F(CodebookFilesTest, AppliedToAnotherPhotoPrunesWhatNoBlockChooses) {
    ImageCompressor applied;
    ASSERT_TRUE(applied.LoadImage(TestData("photo64-d.png")));
    ASSERT_TRUE(applied.ApplyCodebookFile(folder_.File("a.cod")));
    EXPECT_GT(applied.GetPrunedCount(-1), 0);
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(applied.GetNeuronCount(c) + applied.GetPrunedCount(c), trained_.GetNeuronCount(c));
    EXPECT_TRUE(std::isfinite(applied.GetPsnr(PsnrOf::Mean)));
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
    double psnr = target.GetPsnr(PsnrOf::Mean);

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
            EXPECT_EQ(target.GetPsnr(PsnrOf::Mean), psnr);
            EXPECT_EQ(target.ColorSpace(), ColorSpace::Rgb);
        } else {
            ASSERT_TRUE(target.TrainAndCode(Job(ColorSpace::Rgb, 8)));
            ASSERT_TRUE(target.EncodeCodedImage(before));
            psnr = target.GetPsnr(PsnrOf::Mean);
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

}  // namespace
}  // namespace pictora
