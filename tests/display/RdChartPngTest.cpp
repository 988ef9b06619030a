#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "display/RdChartLayout.h"
#include "display/RdChartPng.h"
#include "display/RdChartSample.h"
#include "image/PngImage.h"

namespace pictora {
namespace {

struct DecodedPicture {
    RgbImage image;

    ChartColour At(double x, double y) const {
        const auto row = static_cast<std::size_t>(y);
        const auto column = static_cast<std::size_t>(x);
        return {image.red[row][column], image.green[row][column], image.blue[row][column]};
    }
};

DecodedPicture Decode(const std::vector<std::uint8_t>& png) {
    DecodedPicture picture;
    EXPECT_TRUE(DecodePngImage(png, picture.image));
    return picture;
}

bool Near(const ChartColour& a, const ChartColour& b, int tolerance) {
    return std::abs(a.red - b.red) <= tolerance && std::abs(a.green - b.green) <= tolerance &&
           std::abs(a.blue - b.blue) <= tolerance;
}

TEST(RdChartPngTest, DecodesToTheRequestedSizeWithTheCurvesWhereTheLayoutPutsThem) {
    const RdChartModel model = SampleRdChart();
    for (const auto& [width, height] : {std::pair{900, 600}, std::pair{333, 211}}) {
        std::vector<std::uint8_t> png;
        const Status status = RenderRdChartPng(model, width, height, png);
        ASSERT_TRUE(status.ok()) << status.message();
        const DecodedPicture picture = Decode(png);
        EXPECT_EQ(picture.image.width, width);
        EXPECT_EQ(picture.image.height, height);

        std::size_t inked = 0;
        for (int y = 0; y < picture.image.height; ++y) {
            for (int x = 0; x < picture.image.width; ++x) {
                if (!Near(picture.At(x, y), {255, 255, 255}, 0)) ++inked;
            }
        }
        EXPECT_GT(inked, static_cast<std::size_t>(width) * height / 50) << width;
        EXPECT_LT(inked, static_cast<std::size_t>(width) * height / 2) << width;

        // The middle of every marker, in the plot and in the legend, is its curve's colour.
        const RdChartLayout layout = LayOutRdChart(model, width, height);
        for (const RdChartCurve& curve : layout.curves) {
            for (const FigurePoint& p : curve.points) {
                EXPECT_TRUE(Near(picture.At(p.x, p.y), curve.colour, 40)) << width << ": " << p.x << "," << p.y;
            }
        }
        for (const RdLegendEntry& entry : layout.legend) {
            EXPECT_TRUE(Near(picture.At(entry.markerAt.x, entry.markerAt.y), entry.colour, 40)) << entry.label.text;
        }
        // And the corner of the figure is background.
        EXPECT_TRUE(Near(picture.At(1, 1), {255, 255, 255}, 0));
    }
}

TEST(RdChartPngTest, RefusesSizesOutsideTheLimits) {
    std::vector<std::uint8_t> png = {1, 2, 3};
    EXPECT_FALSE(RenderRdChartPng(SampleRdChart(), 0, 100, png).ok());
    EXPECT_TRUE(png.empty());
    EXPECT_FALSE(RenderRdChartPng(SampleRdChart(), 100, kRdChartMaximumSide + 1, png).ok());
    EXPECT_TRUE(RenderRdChartPng(SampleRdChart(), 1, 1, png).ok());
    EXPECT_FALSE(png.empty());
}

}  // namespace
}  // namespace pictora
