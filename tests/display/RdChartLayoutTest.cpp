#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "display/RdChartLayout.h"
#include "display/RdChartSample.h"
#include "display/RdTextWidth.h"

namespace pictora {
namespace {

bool Inside(const RdChartRect& r, const FigurePoint& p) {
    return p.x >= r.x && p.x <= r.x + r.width && p.y >= r.y && p.y <= r.y + r.height;
}

TEST(RdChartLayoutTest, PointsMapIntoThePlotWithQualityUpward) {
    const RdChartModel model = SampleRdChart();
    const RdChartLayout layout = LayOutRdChart(model, 900, 600);
    ASSERT_EQ(layout.curves.size(), model.series.size());
    for (std::size_t c = 0; c < layout.curves.size(); ++c) {
        const RdChartCurve& curve = layout.curves[c];
        ASSERT_EQ(curve.points.size(), model.series[c].points.size());
        EXPECT_EQ(curve.colour, model.series[c].colour);
        for (std::size_t i = 0; i < curve.points.size(); ++i) {
            EXPECT_TRUE(Inside(layout.plot, curve.points[i])) << c << "/" << i;
            // Linear in both: a point's place follows from the scale's ends.
            const RateQualityPoint& data = model.series[c].points[i];
            const double expectedX = layout.plot.x + (data.bpp - layout.xScale.low) /
                                                         (layout.xScale.high - layout.xScale.low) * layout.plot.width;
            const double expectedY = layout.plot.y + layout.plot.height -
                                     (data.quality.psnrMean - layout.yScale.low) / (layout.yScale.high - layout.yScale.low) *
                                         layout.plot.height;
            EXPECT_NEAR(curve.points[i].x, expectedX, 1e-9);
            EXPECT_NEAR(curve.points[i].y, expectedY, 1e-9);
        }
        // Every sample curve rises with bpp, so it climbs the picture left to right.
        for (std::size_t i = 1; i < curve.points.size(); ++i) {
            EXPECT_GT(curve.points[i].x, curve.points[i - 1].x);
            EXPECT_LT(curve.points[i].y, curve.points[i - 1].y);
        }
    }
    EXPECT_LE(layout.xScale.low, 0.12);
    EXPECT_GE(layout.xScale.high, 2.80);
    EXPECT_LE(layout.yScale.low, 23.1);
    EXPECT_GE(layout.yScale.high, 40.2);
}

TEST(RdChartLayoutTest, TextsAndLegendStayInTheFigureAndOffThePlot) {
    const RdChartModel model = SampleRdChart();
    for (const auto& [width, height] : {std::pair{900.0, 600.0}, std::pair{480.0, 320.0}, std::pair{1600.0, 900.0}}) {
        const RdChartLayout layout = LayOutRdChart(model, width, height);
        const RdChartRect figure{0.0, 0.0, width, height};
        for (const RdChartText& text : layout.texts) {
            const double length = RdTextWidth(text.text, text.size, text.weight);
            double start = text.at.x;
            if (text.anchor == RdTextAnchor::Middle) start -= length / 2.0;
            if (text.anchor == RdTextAnchor::End) start -= length;
            if (text.vertical) {
                EXPECT_TRUE(Inside(figure, {text.at.x - text.size, text.at.y + length / 2.0})) << text.text;
                EXPECT_TRUE(Inside(figure, {text.at.x, text.at.y - length / 2.0})) << text.text;
                EXPECT_LT(text.at.x, layout.plot.x) << text.text;
            } else {
                EXPECT_TRUE(Inside(figure, {start, text.at.y - text.size * 0.76})) << text.text << " " << width;
                EXPECT_TRUE(Inside(figure, {start + length, text.at.y})) << text.text << " " << width;
            }
        }
        ASSERT_EQ(layout.legend.size(), model.series.size());
        const RdChartRect& box = layout.legendBox;
        EXPECT_GT(box.x, layout.plot.x + layout.plot.width);
        EXPECT_LE(box.x + box.width, width);
        for (const RdLegendEntry& entry : layout.legend) {
            EXPECT_TRUE(Inside(box, entry.line.from));
            EXPECT_TRUE(Inside(box, entry.markerAt));
            const double end = entry.label.at.x + RdTextWidth(entry.label.text, entry.label.size, entry.label.weight);
            EXPECT_LE(end, box.x + box.width) << entry.label.text;
        }
    }
}

TEST(RdChartLayoutTest, ALegendTooTallForOneColumnWrapsIntoMore) {
    RdChartModel model{"many", "bpp", "pSNR (dB)", QualityMeasure::Psnr, {}};
    for (int i = 0; i < 40; ++i) {
        model.series.push_back({"family " + std::to_string(i), PsnrPoints({{0.1 * (i + 1), 20.0 + i}}), {}, RdMarker::Square});
    }
    const RdChartLayout layout = LayOutRdChart(model, 900, 600);
    ASSERT_EQ(layout.legend.size(), 40u);
    EXPECT_LE(layout.legendBox.y + layout.legendBox.height, layout.plot.y + layout.plot.height + 1e-9);
    EXPECT_GT(layout.legend.back().line.from.x, layout.legend.front().line.from.x);
    for (const RdLegendEntry& entry : layout.legend) EXPECT_TRUE(Inside(layout.legendBox, entry.markerAt));
}

TEST(RdChartLayoutTest, PointsWithoutFiniteCoordinatesAreLeftOut) {
    constexpr double kInf = std::numeric_limits<double>::infinity();
    RdChartModel model{"", "bpp", "pSNR (dB)", QualityMeasure::Psnr, {}};
    model.series.push_back({"lossless", PsnrPoints({{1.0, 30.0}, {8.0, kInf}, {2.0, 33.0}}), {}, RdMarker::Circle});
    model.series.push_back({"nothing finite", PsnrPoints({{std::nan(""), 1.0}}), {}, RdMarker::Square});
    model.series.push_back({"empty", {}, {}, RdMarker::Diamond});
    const RdChartLayout layout = LayOutRdChart(model, 900, 600);
    ASSERT_EQ(layout.curves.size(), 1u);
    EXPECT_EQ(layout.curves[0].points.size(), 2u);
    ASSERT_EQ(layout.legend.size(), 1u);
    EXPECT_EQ(layout.legend[0].label.text, "lossless");
    // The infinite point did not stretch the axis.
    EXPECT_LT(layout.xScale.high, 8.0);
}

TEST(RdChartLayoutTest, AChartByMsSsimLeavesOutPointsWithoutIt) {
    RdChartModel model{"", "bpp", "MS-SSIM", QualityMeasure::MsSsim, {}};
    std::vector<RateQualityPoint> points = PsnrPoints({{1.0, 30.0}, {2.0, 33.0}, {4.0, 35.0}});
    points[0].similarity.msSsim = 0.91;
    points[2].similarity.msSsim = 0.97;
    model.series.push_back({"family", points, {}, RdMarker::Circle});
    model.series.push_back({"small image", PsnrPoints({{0.5, 28.0}}), {}, RdMarker::Square});
    const RdChartLayout layout = LayOutRdChart(model, 900, 600);
    ASSERT_EQ(layout.curves.size(), 1u);
    ASSERT_EQ(layout.curves[0].points.size(), 2u);
    EXPECT_LE(layout.yScale.low, 0.91);
    EXPECT_GE(layout.yScale.high, 0.97);
    EXPECT_LT(layout.yScale.high, 2.0);  // by MS-SSIM, not pSNR
}

}  // namespace
}  // namespace pictora
