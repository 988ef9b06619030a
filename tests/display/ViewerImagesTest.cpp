#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "display/ButteraugliOverlay.h"
#include "display/DifferenceImage.h"
#include "display/HeatScale.h"
#include "display/MeasureText.h"
#include "display/SsimOverlay.h"
#include "image/PngImage.h"

#include "common/FilledViewImage.h"

using namespace pictora;

namespace {

using pictora::testing::Filled;

int Lightness(RgbPixel p) { return 299 * p.red + 587 * p.green + 114 * p.blue; }

}  // namespace

TEST(ViewImageTest, PlanesOfAPngInterleaveRowByRow) {
    RgbImage png;
    ASSERT_TRUE(ReadPngFile(PICTORA_TEST_DATA_DIR "/photo64-a.png", png));
    const ViewImage image = ViewImageOf(png);
    ASSERT_EQ(image.width, 64);
    ASSERT_EQ(image.height, 64);
    EXPECT_EQ(image.At(5, 9), (RgbPixel{png.red[9][5], png.green[9][5], png.blue[9][5]}));
    EXPECT_EQ(image.At(63, 0), (RgbPixel{png.red[0][63], png.green[0][63], png.blue[0][63]}));

    png.blue.Allocate(2, 2);  // planes that disagree with the size are not shown
    EXPECT_TRUE(ViewImageOf(png).Empty());
    EXPECT_TRUE(ViewImage::Black(0, 5).Empty());
}

TEST(DifferenceImageTest, LargestChannelDifferenceAmplifiedAndClamped) {
    ViewImage a = Filled(3, 2, {100, 100, 100});
    ViewImage b = Filled(3, 2, {100, 100, 100});
    b.Set(0, 0, {103, 99, 100});   // largest difference 3
    b.Set(1, 0, {100, 100, 40});   // 60
    b.Set(2, 1, {90, 110, 100});   // 10 both ways
    const ViewImage times1 = DifferenceImage(a, b, 1, DifferenceStyle::kGrey);
    EXPECT_EQ(times1.At(0, 0), (RgbPixel{3, 3, 3}));
    EXPECT_EQ(times1.At(1, 0), (RgbPixel{60, 60, 60}));
    EXPECT_EQ(times1.At(2, 1), (RgbPixel{10, 10, 10}));
    EXPECT_EQ(times1.At(0, 1), (RgbPixel{0, 0, 0}));

    const ViewImage times8 = DifferenceImage(a, b, 8, DifferenceStyle::kGrey);
    EXPECT_EQ(times8.At(0, 0), (RgbPixel{24, 24, 24}));
    EXPECT_EQ(times8.At(1, 0), (RgbPixel{255, 255, 255}));
    EXPECT_EQ(times8.At(2, 1), (RgbPixel{80, 80, 80}));

    const ViewImage colour = DifferenceImage(a, b, 8, DifferenceStyle::kFalseColour);
    EXPECT_EQ(colour.At(0, 0), HeatColour(24));
    EXPECT_EQ(colour.At(1, 0), HeatColour(255));
    EXPECT_EQ(colour.At(0, 1), HeatColour(0));
}

TEST(DifferenceImageTest, OnlyTheCommonTopLeftAreaIsCompared) {
    ViewImage a = Filled(5, 3, {10, 20, 30});
    ViewImage b = Filled(4, 6, {10, 20, 30});
    b.Set(3, 2, {0, 20, 30});
    const ViewImage difference = DifferenceImage(a, b, 2, DifferenceStyle::kGrey);
    EXPECT_EQ(difference.width, 4);
    EXPECT_EQ(difference.height, 3);
    EXPECT_EQ(difference.At(3, 2), (RgbPixel{20, 20, 20}));
    EXPECT_TRUE(DifferenceImage(a, ViewImage{}, 1, DifferenceStyle::kGrey).Empty());
}

TEST(HeatScaleTest, RunsDarkToBrightThroughItsAnchors) {
    EXPECT_EQ(HeatColour(0), (RgbPixel{16, 8, 48}));
    EXPECT_EQ(HeatColour(255), (RgbPixel{252, 252, 190}));
    EXPECT_EQ(HeatColour(32), (RgbPixel{44, 22, 94}));  // half way to the second anchor
    for (int v = 1; v < 256; ++v)
        EXPECT_GE(Lightness(HeatColour(static_cast<std::uint8_t>(v))), Lightness(HeatColour(static_cast<std::uint8_t>(v - 1))))
            << v;
}

TEST(ButteraugliOverlayTest, TheScaleCoversTheLargestDistanceOnANiceTopOfAtLeast3) {
    EXPECT_EQ(ButteraugliScaleOf(0.0).Top(), 3.0);
    EXPECT_EQ(ButteraugliScaleOf(0.4).Top(), 3.0);
    EXPECT_EQ(ButteraugliScaleOf(3.2).Top(), 4.0);
    EXPECT_EQ(ButteraugliScaleOf(7.3).Top(), 8.0);
    EXPECT_EQ(ButteraugliScaleOf(12.5).Top(), 15.0);
    EXPECT_EQ(ButteraugliScaleOf(15.0).Top(), 15.0);
    EXPECT_EQ(ButteraugliScaleOf(std::numeric_limits<double>::infinity()).Top(), 3.0);
    EXPECT_EQ(ButteraugliScaleOf(std::nan("")).Top(), 3.0);

    // The ends first, then the thresholds 1 and 2, then the other ticks.
    EXPECT_EQ(ButteraugliScaleOf(7.3).Marks(), (std::vector<double>{0, 8, 1, 2, 4, 6}));
    EXPECT_EQ(ButteraugliScaleOf(12.5).Marks(), (std::vector<double>{0, 15, 1, 2, 5, 10}));
    EXPECT_EQ(ButteraugliScaleOf(1.0).Marks(), (std::vector<double>{0, 3, 1, 2}));
    const ButteraugliScale fine = {NiceScale{0.0, 2.5, 0.5, 1}};
    EXPECT_EQ(fine.Label(2.5), "2.5");
    EXPECT_EQ(fine.Label(1.0), "1.0");
    // The thresholds read as themselves on a coarse axis too.
    EXPECT_EQ(ButteraugliScaleOf(12.5).Label(1.0), "1");
    EXPECT_EQ(ButteraugliScaleOf(12.5).Label(15.0), "15");
}

TEST(ButteraugliOverlayTest, DistancesColourByTheirShareOfTheTop) {
    const ButteraugliScale scale = ButteraugliScaleOf(2.0);  // 0 to 3
    EXPECT_EQ(ButteraugliColour(0.0, scale), HeatColour(0));
    EXPECT_EQ(ButteraugliColour(1.5, scale), HeatColour(127));
    EXPECT_EQ(ButteraugliColour(3.0, scale), HeatColour(255));
    EXPECT_EQ(ButteraugliColour(40.0, scale), HeatColour(255));
    EXPECT_EQ(ButteraugliColour(std::nan(""), scale), HeatColour(0));

    RealPlane map(2, 3);
    map.Row(0)[1] = 1.5;
    map.Row(1)[2] = 3.0;
    const ViewImage picture = ButteraugliPicture(map, scale);
    ASSERT_EQ(picture.width, 3);
    ASSERT_EQ(picture.height, 2);
    EXPECT_EQ(picture.At(0, 0), HeatColour(0));
    EXPECT_EQ(picture.At(1, 0), HeatColour(127));
    EXPECT_EQ(picture.At(2, 1), HeatColour(255));

    const ViewImage strip = ButteraugliScaleImage(scale, 4, 256);
    EXPECT_EQ(strip.At(3, 0), HeatColour(255));
    EXPECT_EQ(strip.At(0, 255), HeatColour(0));
    EXPECT_GT(Lightness(strip.At(0, 100)), Lightness(strip.At(0, 200)));
}

TEST(ButteraugliOverlayTest, TheLegendKeepsTheMarksWhoseLabelsStayApart) {
    const ButteraugliScale scale = ButteraugliScaleOf(12.5);  // 0 to 15
    EXPECT_EQ(ButteraugliScaleRow(scale, 15, 256), 0);
    EXPECT_EQ(ButteraugliScaleRow(scale, 0, 256), 255);
    EXPECT_EQ(ButteraugliScaleRow(scale, 1, 256), 238);
    EXPECT_EQ(ButteraugliScaleRow(scale, 2, 256), 221);
    EXPECT_EQ(LegibleMarks(scale, 256, 14), (std::vector<double>{0, 15, 1, 2, 5, 10}));
    // Taller labels: 1 lies too near 0 and is left out, 2 still fits.
    EXPECT_EQ(LegibleMarks(scale, 256, 20), (std::vector<double>{0, 15, 2, 5, 10}));
}

TEST(SsimOverlayTest, ValuesAreClampedToZeroOne) {
    EXPECT_EQ(SsimColour(1.0), HeatColour(255));
    EXPECT_EQ(SsimColour(1.5), HeatColour(255));
    EXPECT_EQ(SsimColour(0.0), HeatColour(0));
    EXPECT_EQ(SsimColour(-0.3), HeatColour(0));
    EXPECT_EQ(SsimColour(0.5), HeatColour(127));
    EXPECT_EQ(SsimColour(std::nan("")), HeatColour(0));
}

TEST(SsimOverlayTest, EachValueColoursThePixelItsWindowIsCentredOn) {
    const ViewImage picture = Filled(14, 13, {200, 100, 50});
    SsimMap map;
    map.rows = 3;
    map.columns = 4;
    map.values = {1, 1, 1, 1, 1, 0.5, 1, 1, 1, 1, 1, 0};
    const ViewImage overlay = SsimOverlay(map, picture);
    ASSERT_EQ(overlay.width, 14);
    ASSERT_EQ(overlay.height, 13);
    EXPECT_EQ(overlay.At(5, 5), SsimColour(1));
    EXPECT_EQ(overlay.At(6, 6), SsimColour(0.5));
    EXPECT_EQ(overlay.At(8, 7), SsimColour(0));
    // Outside the windows' centres the picture shows as grey at half its luma.
    const auto dim = static_cast<std::uint8_t>(static_cast<int>((0.299 * 200 + 0.587 * 100 + 0.114 * 50) / 2));
    EXPECT_EQ(overlay.At(4, 5), (RgbPixel{dim, dim, dim}));
    EXPECT_EQ(overlay.At(9, 5), (RgbPixel{dim, dim, dim}));
    EXPECT_EQ(overlay.At(5, 8), (RgbPixel{dim, dim, dim}));
}

TEST(SsimOverlayTest, AMapLargerThanThePictureIsCutAndAnEmptyOneOnlyDims) {
    const ViewImage picture = Filled(7, 6, {0, 0, 0});
    SsimMap map;
    map.rows = 4;
    map.columns = 4;
    map.values.assign(16, 0.25);
    const ViewImage overlay = SsimOverlay(map, picture);
    EXPECT_EQ(overlay.At(6, 5), SsimColour(0.25));
    EXPECT_EQ(overlay.At(4, 4), (RgbPixel{0, 0, 0}));

    map.values.resize(3);  // fewer values than rows x columns: not a map
    EXPECT_EQ(SsimOverlay(map, picture).At(6, 5), (RgbPixel{0, 0, 0}));
    EXPECT_TRUE(SsimOverlay(map, ViewImage{}).Empty());
}

TEST(SsimOverlayTest, ScaleRunsFromOneAtTheTopToZeroAtTheBottom) {
    const ViewImage scale = SsimScaleImage(3, 256);
    EXPECT_EQ(scale.At(0, 0), SsimColour(1));
    EXPECT_EQ(scale.At(2, 255), SsimColour(0));
    EXPECT_EQ(scale.At(1, 128), SsimColour(127.0 / 255));
    EXPECT_EQ(SsimScaleImage(2, 1).At(1, 0), SsimColour(1));
}

TEST(MeasureTextTest, FixedDecimalsWithAPointAndDashesForUndefined) {
    EXPECT_EQ(MeasureText(32.456, 2), "32.46");
    EXPECT_EQ(MeasureText(0.98765, 4), "0.9877");
    EXPECT_EQ(MeasureText(1.5, 3), "1.500");
    EXPECT_EQ(MeasureText(std::nullopt, 2), "—");
    EXPECT_EQ(MeasureText(std::nan(""), 2), "—");
    EXPECT_EQ(MeasureText(std::numeric_limits<double>::infinity(), 2), "∞");
}
