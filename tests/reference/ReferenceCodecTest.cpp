#include <gtest/gtest.h>

#include <charconv>
#include <string>
#include <vector>

#include "reference/AvifCodec.h"
#include "reference/ReferenceCodecFactory.h"
#include "reference/TestPhoto.h"

namespace pictora {
namespace {

using testing::MeanAbsoluteError;
using testing::TestPhoto;

struct CodecSettings {
    ReferenceCodecKind kind;
    double high;  // a knob near the best end of the grid
    double low;   // a knob near the worst end
};

class ReferenceCodecTest : public ::testing::TestWithParam<CodecSettings> {
protected:
    std::unique_ptr<ReferenceCodec> codec_ = MakeReferenceCodec(GetParam().kind);
};

TEST_P(ReferenceCodecTest, RoundTripKeepsTheSizeAndComesCloserAtTheBetterSetting) {
    const RgbImage& photo = TestPhoto("photo64-a.png");
    std::vector<std::uint8_t> highFile;
    std::vector<std::uint8_t> lowFile;
    ASSERT_TRUE(codec_->Encode(photo, GetParam().high, highFile).ok());
    ASSERT_TRUE(codec_->Encode(photo, GetParam().low, lowFile).ok());
    EXPECT_LT(lowFile.size(), highFile.size());

    RgbImage high;
    RgbImage low;
    Status status = codec_->Decode(highFile, high);
    ASSERT_TRUE(status.ok()) << status.message();
    ASSERT_TRUE(codec_->Decode(lowFile, low).ok());
    for (const RgbImage* decoded : {&high, &low}) {
        ASSERT_EQ(decoded->height, photo.height);
        ASSERT_EQ(decoded->width, photo.width);
        ASSERT_EQ(decoded->red.Height(), 64u);
        ASSERT_EQ(decoded->blue.Width(), 64u);
    }
    // Every codec here halves the chroma resolution, which alone costs this
    // detailed photo some four levels per sample.
    const double highError = MeanAbsoluteError(photo, high);
    EXPECT_LT(highError, 5.5);
    EXPECT_LT(highError, MeanAbsoluteError(photo, low));
}

TEST_P(ReferenceCodecTest, EncodingTwiceGivesTheSameBytes) {
    const RgbImage& photo = TestPhoto("photo64-b.png");
    for (double knob : {GetParam().low, GetParam().high}) {
        std::vector<std::uint8_t> first;
        std::vector<std::uint8_t> second;
        ASSERT_TRUE(codec_->Encode(photo, knob, first).ok());
        ASSERT_TRUE(codec_->Encode(photo, knob, second).ok());
        EXPECT_EQ(first, second) << codec_->Name() << " at " << ReferenceCodec::KnobText(knob);
    }
}

TEST_P(ReferenceCodecTest, RefusesImagesWithoutPixelsAndKnobsOffTheGrid) {
    std::vector<std::uint8_t> bytes{1, 2, 3};
    RgbImage empty;
    Status status = codec_->Encode(empty, GetParam().high, bytes);
    EXPECT_FALSE(status.ok());
    EXPECT_NE(status.message().find(codec_->Name()), std::string::npos) << status.message();

    RgbImage mismatched;
    mismatched.height = 8;
    mismatched.width = 8;
    mismatched.red.Allocate(8, 8);
    mismatched.green.Allocate(8, 8);
    EXPECT_FALSE(codec_->Encode(mismatched, GetParam().high, bytes).ok());

    const std::vector<double> grid = codec_->KnobGrid();
    const RgbImage& photo = TestPhoto("photo64-a.png");
    const double step = grid.back() > grid.front() ? 1 : -1;
    EXPECT_FALSE(codec_->Encode(photo, grid.front() - step, bytes).ok());
    EXPECT_FALSE(codec_->Encode(photo, grid.back() + step, bytes).ok());
    if (GetParam().kind != ReferenceCodecKind::Jxl) {
        EXPECT_FALSE(codec_->Encode(photo, grid[1] + 0.5, bytes).ok());
    }
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{1, 2, 3}));
}

INSTANTIATE_TEST_SUITE_P(AllCodecs, ReferenceCodecTest,
                         ::testing::Values(CodecSettings{ReferenceCodecKind::Jpeg, 95, 10},
                                           CodecSettings{ReferenceCodecKind::Webp, 95, 5},
                                           CodecSettings{ReferenceCodecKind::Avif, 5, 55},
                                           CodecSettings{ReferenceCodecKind::Jxl, 0.5, 12}),
                         [](const auto& info) { return std::string(MakeReferenceCodec(info.param.kind)->Name()); });

TEST(ReferenceCodecFactory, NamesExtensionsAndKindsAgree) {
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"jpeg", "jpg"}, {"webp", "webp"}, {"avif", "avif"}, {"jxl", "jxl"}};
    std::size_t n = 0;
    for (ReferenceCodecKind kind : kAllReferenceCodecKinds) {
        std::unique_ptr<ReferenceCodec> byKind = MakeReferenceCodec(kind);
        ASSERT_NE(byKind, nullptr);
        EXPECT_EQ(byKind->Kind(), kind);
        EXPECT_EQ(byKind->Name(), expected[n].first);
        EXPECT_EQ(byKind->Extension(), expected[n].second);
        std::unique_ptr<ReferenceCodec> byName;
        ASSERT_TRUE(MakeReferenceCodec(expected[n].first, byName).ok());
        EXPECT_EQ(byName->Kind(), kind);
        ++n;
    }
    std::unique_ptr<ReferenceCodec> none;
    EXPECT_FALSE(MakeReferenceCodec("png", none).ok());
    EXPECT_FALSE(MakeReferenceCodec("JPEG", none).ok());
    EXPECT_EQ(none, nullptr);
}

TEST(ReferenceCodecGrids, RunFromWorstToBestOverTheFullRange) {
    struct Expected {
        ReferenceCodecKind kind;
        std::size_t size;
        double worst;
        double best;
        KnobSearchRule rule;
    };
    for (const Expected& e : {Expected{ReferenceCodecKind::Jpeg, 100, 1, 100, KnobSearchRule::WholeGrid},
                              Expected{ReferenceCodecKind::Webp, 101, 0, 100, KnobSearchRule::WholeGrid},
                              Expected{ReferenceCodecKind::Avif, 64, 63, 0, KnobSearchRule::BisectBoundary},
                              Expected{ReferenceCodecKind::Jxl, 250, 25, 0.1, KnobSearchRule::BisectBoundary}}) {
        std::unique_ptr<ReferenceCodec> codec = MakeReferenceCodec(e.kind);
        const std::vector<double> grid = codec->KnobGrid();
        ASSERT_EQ(grid.size(), e.size) << codec->Name();
        EXPECT_EQ(grid.front(), e.worst);
        EXPECT_EQ(grid.back(), e.best);
        EXPECT_EQ(codec->SearchRule(), e.rule);
        const double direction = e.best > e.worst ? 1 : -1;
        for (std::size_t k = 1; k < grid.size(); ++k) EXPECT_GT(direction * (grid[k] - grid[k - 1]), 0);
    }
}

TEST(ReferenceCodecGrids, JxlDistancesAreTheNearestDoublesOfTenths) {
    const std::vector<double> grid = MakeReferenceCodec(ReferenceCodecKind::Jxl)->KnobGrid();
    for (double distance : grid) {
        const std::string text = ReferenceCodec::KnobText(distance);
        double back = 0;
        std::from_chars(text.data(), text.data() + text.size(), back);
        EXPECT_EQ(back, distance);
        EXPECT_LE(text.size(), 4u) << text;  // "24.9", never "24.900000000000002"
    }
    EXPECT_EQ(ReferenceCodec::KnobText(grid[243]), "0.7");
    EXPECT_EQ(ReferenceCodec::KnobText(grid[0]), "25");
}

TEST(ReferenceCodecGrids, LaddersHoldTheAgreedValues) {
    EXPECT_EQ(MakeReferenceCodec(ReferenceCodecKind::Jxl)->Ladder(),
              (std::vector<double>{12, 8, 6, 4, 3, 2, 1.5, 1, 0.7, 0.5}));
    const std::vector<double> jpeg = MakeReferenceCodec(ReferenceCodecKind::Jpeg)->Ladder();
    ASSERT_EQ(jpeg.size(), 19u);
    EXPECT_EQ(jpeg.front(), 5);
    EXPECT_EQ(jpeg.back(), 95);
    const std::vector<double> webp = MakeReferenceCodec(ReferenceCodecKind::Webp)->Ladder();
    ASSERT_EQ(webp.size(), 21u);
    EXPECT_EQ(webp.front(), 0);
    EXPECT_EQ(webp.back(), 100);
    const std::vector<double> avif = MakeReferenceCodec(ReferenceCodecKind::Avif)->Ladder();
    ASSERT_EQ(avif.size(), 12u);
    EXPECT_EQ(avif.front(), 60);
    EXPECT_EQ(avif.back(), 5);
}

TEST(ReferenceCodecKnobText, IsTheShortestRoundTripForm) {
    EXPECT_EQ(ReferenceCodec::KnobText(75), "75");
    EXPECT_EQ(ReferenceCodec::KnobText(0.7), "0.7");
    EXPECT_EQ(ReferenceCodec::KnobText(12), "12");
    EXPECT_EQ(ReferenceCodec::KnobText(1.5), "1.5");
    EXPECT_EQ(ReferenceCodec::KnobText(0), "0");
}

TEST(AvifEncoder, TheLibraryCarriesAnAv1Encoder) {
    EXPECT_FALSE(AvifCodec::EncoderName().empty());
}

}  // namespace
}  // namespace pictora
