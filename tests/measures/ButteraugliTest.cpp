#include <gtest/gtest.h>

#include "measures/Butteraugli.h"
#include "measures/RateQualityPoint.h"

namespace pictora {
namespace {

// A smooth colour ramp of the given size, with `offset` added to green.
RgbImage Ramp(std::int32_t width, std::int32_t height, int offset = 0) {
    RgbImage image;
    image.width = width;
    image.height = height;
    for (Plane* plane : {&image.red, &image.green, &image.blue})
        plane->Allocate(static_cast<std::uint32_t>(height), static_cast<std::uint32_t>(width));
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x) {
            image.red[static_cast<std::size_t>(y)][x] = static_cast<std::uint8_t>(60 + 2 * x);
            image.green[static_cast<std::size_t>(y)][x] = static_cast<std::uint8_t>(80 + y + offset * ((x / 4 + y / 4) % 2));
            image.blue[static_cast<std::size_t>(y)][x] = static_cast<std::uint8_t>(120 + x - y);
        }
    return image;
}

TEST(ButteraugliTest, NoDistanceFromItselfAGrowingOneWithTheErrorAndNoneAcrossSizes) {
    const RgbImage source = Ramp(48, 40);
    const auto same = MeasureButteraugli(source, source);
    ASSERT_TRUE(same);
    EXPECT_EQ(same->maxNorm, 0.0);
    EXPECT_EQ(same->norm3, 0.0);

    const auto slight = MeasureButteraugli(source, Ramp(48, 40, 6));
    const auto strong = MeasureButteraugli(source, Ramp(48, 40, 30));
    ASSERT_TRUE(slight && strong);
    EXPECT_GT(slight->norm3, 0.0);
    EXPECT_GT(strong->norm3, slight->norm3);
    EXPECT_GE(strong->maxNorm, strong->norm3);

    EXPECT_FALSE(MeasureButteraugli(source, Ramp(40, 48)));
    EXPECT_FALSE(MeasureButteraugli(RgbImage{}, RgbImage{}));
}

TEST(ButteraugliTest, TheDistanceMapCoversTheSourceAndPeaksAtTheMaxNorm) {
    const RgbImage source = Ramp(48, 40);
    const auto still = ButteraugliDistanceMap(source, source);
    ASSERT_TRUE(still);
    ASSERT_EQ(still->Width(), 48u);
    ASSERT_EQ(still->Height(), 40u);
    for (std::uint32_t y = 0; y < still->Height(); ++y)
        for (std::uint32_t x = 0; x < still->Width(); ++x) ASSERT_EQ(still->Row(y)[x], 0.0) << x << "," << y;

    for (int offset : {6, 30}) {
        const RgbImage decoded = Ramp(48, 40, offset);
        const auto map = ButteraugliDistanceMap(source, decoded);
        const auto distance = MeasureButteraugli(source, decoded);
        ASSERT_TRUE(map && distance);
        EXPECT_GT(LargestSample(*map), 0.0);
        EXPECT_EQ(LargestSample(*map), distance->maxNorm) << offset;
    }
    // The map is not one value spread over the plane: the error follows the checkerboard's edges.
    const auto map = ButteraugliDistanceMap(source, Ramp(48, 40, 30));
    ASSERT_TRUE(map);
    EXPECT_NE(map->Row(20)[24], map->Row(0)[0]);

    EXPECT_FALSE(ButteraugliDistanceMap(source, Ramp(40, 48)));
    EXPECT_FALSE(ButteraugliDistanceMap(RgbImage{}, RgbImage{}));
}

TEST(ButteraugliTest, OnlyTheButteraugliSetMeasuresItAndItsQualityIsTheNegated3Norm) {
    const RgbImage source = Ramp(48, 40);
    const RgbImage decoded = Ramp(48, 40, 10);
    RateQualityPoint all, with;
    ASSERT_TRUE(MeasurePair(source, decoded, 100, MeasureSet::All, all));
    ASSERT_TRUE(MeasurePair(source, decoded, 100, MeasureSet::AllAndButteraugli, with));
    EXPECT_FALSE(all.butteraugli);
    EXPECT_FALSE(all.Quality(QualityMeasure::Butteraugli));
    ASSERT_TRUE(with.butteraugli);
    EXPECT_EQ(with.similarity.ssim, all.similarity.ssim);
    EXPECT_EQ(*with.Quality(QualityMeasure::Butteraugli), -with.butteraugli->norm3);
    EXPECT_EQ(ButteraugliCsvFields(std::nullopt), ",,");
    EXPECT_EQ(ButteraugliCsvFields(ButteraugliDistance{1.5, 0.25}), ",1.5,0.25");
    EXPECT_EQ(NameOf(MeasureSet::AllAndButteraugli), "butteraugli");
}

}  // namespace
}  // namespace pictora
