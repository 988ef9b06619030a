#include <gtest/gtest.h>

#include <atomic>

#include "image/PngImage.h"
#include "pipeline/ReferenceStudy.h"
#include "reference/ReferenceCodecFactory.h"

namespace pictora {
namespace {

RgbImage Photo() {
    RgbImage photo;
    EXPECT_TRUE(ReadPngFile(std::string(PICTORA_TEST_DATA_DIR) + "/photo64-c.png", photo));
    return photo;
}

TEST(ReferenceStudyTest, ALadderMeasuresEveryRungWorstFirstAsItsCodecDecodesIt) {
    const RgbImage photo = Photo();
    for (const ReferenceCodecTraits& traits : kReferenceCodecs) {
        ReferenceCurve curve;
        ASSERT_TRUE(MeasureLadder(traits.kind, photo, MeasureSet::All, nullptr, curve)) << traits.name;
        EXPECT_EQ(curve.codec, traits.kind);
        ASSERT_EQ(curve.knobs, std::vector<double>(traits.ladder.begin(), traits.ladder.end())) << traits.name;
        ASSERT_EQ(curve.points.size(), curve.knobs.size());
        const std::unique_ptr<ReferenceCodec> codec = MakeReferenceCodec(traits.kind);
        for (std::size_t r : {std::size_t{0}, curve.knobs.size() - 1}) {
            std::vector<std::uint8_t> file;
            ASSERT_TRUE(codec->Encode(photo, curve.knobs[r], file));
            RgbImage decoded;
            ASSERT_TRUE(codec->Decode(file, decoded));
            RateQualityPoint expected;
            ASSERT_TRUE(MeasurePair(photo, decoded, file.size(), MeasureSet::All, expected));
            EXPECT_EQ(curve.points[r].bytes, file.size()) << traits.name << " " << r;
            EXPECT_EQ(curve.points[r].bpp, expected.bpp);
            EXPECT_EQ(curve.points[r].quality.psnrMean, expected.quality.psnrMean);
            EXPECT_EQ(curve.points[r].similarity.ssim, expected.similarity.ssim);
        }
        EXPECT_LT(curve.points.front().bytes, curve.points.back().bytes) << traits.name;
    }
}

TEST(ReferenceStudyTest, AStoppedLadderEndsBetweenRungs) {
    const std::atomic<bool> stop{true};
    ReferenceCurve curve;
    curve.knobs = {1.0};
    ASSERT_TRUE(MeasureLadder(ReferenceCodecKind::Webp, Photo(), MeasureSet::All, &stop, curve));
    EXPECT_EQ(curve.codec, ReferenceCodecKind::Webp);
    EXPECT_TRUE(curve.knobs.empty());
    EXPECT_TRUE(curve.points.empty());
}

}  // namespace
}  // namespace pictora
