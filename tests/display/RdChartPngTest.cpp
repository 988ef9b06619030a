#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "display/RdChartLayout.h"
#include "display/RdChartPng.h"
#include "display/RdChartSample.h"
#include "image/PngReader.h"

namespace pictora {
namespace {

struct DecodedPicture {
    PngHeader header;
    std::vector<std::uint8_t> pixels;

    ChartColour At(double x, double y) const {
        const std::size_t offset =
            static_cast<std::size_t>(y) * header.rowBytes + static_cast<std::size_t>(x) * 3;
        return {pixels[offset], pixels[offset + 1], pixels[offset + 2]};
    }
};

DecodedPicture Decode(const std::vector<std::uint8_t>& png) {
    DecodedPicture picture;
    PngReader reader(png);
    EXPECT_TRUE(reader.ReadHeader(picture.header)) << reader.Error();
    picture.pixels.resize(picture.header.rowBytes * picture.header.height);
    std::vector<png_bytep> rows;
    for (std::uint32_t y = 0; y < picture.header.height; ++y) {
        rows.push_back(picture.pixels.data() + y * picture.header.rowBytes);
    }
    EXPECT_TRUE(reader.ReadRows(rows.data())) << reader.Error();
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
        EXPECT_EQ(picture.header.width, static_cast<std::uint32_t>(width));
        EXPECT_EQ(picture.header.height, static_cast<std::uint32_t>(height));
        EXPECT_EQ(picture.header.colorType, PNG_COLOR_TYPE_RGB);

        std::size_t inked = 0;
        for (std::uint32_t y = 0; y < picture.header.height; ++y) {
            for (std::uint32_t x = 0; x < picture.header.width; ++x) {
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
