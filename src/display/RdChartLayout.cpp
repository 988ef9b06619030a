#include "display/RdChartLayout.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace pictora {
namespace {

// Proportions of the figure, in units of the font size (one em).
constexpr double kFontPerShortSide = 1.0 / 34.0;
constexpr double kMinimumFont = 7.0;
constexpr double kTitleScale = 1.15;
constexpr double kTickLabelScale = 0.9;
constexpr double kLegendScale = 0.9;
constexpr double kMargin = 0.8;
constexpr double kTickLength = 0.4;
constexpr double kLabelGap = 0.35;
constexpr double kLegendPad = 0.6;
constexpr double kLegendRow = 1.45;
constexpr double kLegendLine = 2.4;
// Baselines sit this far (in ems) below the line a text is centred on:
// about half the height of DejaVu Sans's capitals and figures.
constexpr double kHalfCapHeight = 0.365;
constexpr double kAscent = 0.76;
// A data range is widened by this share either side, so no point lies on the
// frame when the nice ends happen to fall on it.
constexpr double kRangePadding = 0.04;
// Tick density: at most one tick per this many ems along an axis.
constexpr double kXEmsPerTick = 4.0;
constexpr double kYEmsPerTick = 2.6;

// Where a point lies on the chart's axes (bpp, quality), when it can be drawn.
std::optional<FigurePoint> DataPoint(const RateQualityPoint& point, QualityMeasure measure) {
    const std::optional<double> quality = point.Quality(measure);
    if (!quality || !std::isfinite(point.bpp) || !std::isfinite(*quality)) return std::nullopt;
    return FigurePoint{point.bpp, *quality};
}

struct Extent {
    double low = std::numeric_limits<double>::infinity();
    double high = -std::numeric_limits<double>::infinity();

    void Add(double v) {
        low = std::min(low, v);
        high = std::max(high, v);
    }
};

NiceScale PaddedScale(const Extent& extent, double axisLength, double emsPerTick, double font) {
    if (!(extent.high >= extent.low)) return NiceScaleOf(0.0, 1.0, 6);
    const double padding = (extent.high - extent.low) * kRangePadding;
    const int maxTicks = std::max(2, static_cast<int>(axisLength / (emsPerTick * font)) + 1);
    // Bits per pixel and the measures are never negative: padding does not
    // carry an axis of such values below 0.
    const double low = extent.low >= 0.0 ? std::max(0.0, extent.low - padding) : extent.low - padding;
    return NiceScaleOf(low, extent.high + padding, maxTicks);
}

double MapToLength(const NiceScale& scale, double value, double start, double length) {
    return start + (value - scale.low) / (scale.high - scale.low) * length;
}

std::vector<const RdChartSeries*> DrawnSeries(const RdChartModel& model) {
    std::vector<const RdChartSeries*> drawn;
    for (const RdChartSeries& series : model.series) {
        if (std::any_of(series.points.begin(), series.points.end(),
                        [&](const RateQualityPoint& p) { return DataPoint(p, model.measure).has_value(); }))
            drawn.push_back(&series);
    }
    return drawn;
}

struct LegendShape {
    int rowsPerColumn = 0;
    int columns = 0;
    double columnWidth = 0.0;
    double width = 0.0;
    double height = 0.0;
};

LegendShape ShapeLegend(const std::vector<const RdChartSeries*>& drawn, double font, double available) {
    LegendShape shape;
    if (drawn.empty()) return shape;
    const double legendFont = font * kLegendScale;
    double widest = 0.0;
    for (const RdChartSeries* series : drawn) {
        widest = std::max(widest, RdTextWidth(series->name, legendFont, RdFontWeight::Book));
    }
    const int count = static_cast<int>(drawn.size());
    const double row = kLegendRow * legendFont;
    shape.rowsPerColumn = std::clamp(static_cast<int>((available - 2.0 * kLegendPad * font) / row), 1, count);
    shape.columns = (count + shape.rowsPerColumn - 1) / shape.rowsPerColumn;
    shape.rowsPerColumn = (count + shape.columns - 1) / shape.columns;
    shape.columnWidth = (kLegendLine + kLegendPad) * font + widest;
    shape.width = shape.columns * shape.columnWidth + kLegendPad * font;
    shape.height = shape.rowsPerColumn * row + (2.0 * kLegendPad - (kLegendRow - 1.0) * kLegendScale) * font;
    return shape;
}

}  // namespace

RdChartLayout LayOutRdChart(const RdChartModel& model, double width, double height) {
    RdChartLayout layout;
    layout.width = width;
    layout.height = height;
    const double font = std::max(kMinimumFont, std::min(width, height) * kFontPerShortSide);
    layout.fontSize = font;
    layout.gridWidth = std::max(1.0, font * 0.05);
    layout.frameWidth = std::max(1.0, font * 0.07);
    layout.curveWidth = std::max(1.5, font * 0.12);
    layout.markerRadius = font * 0.3;

    const std::vector<const RdChartSeries*> drawn = DrawnSeries(model);
    Extent xExtent;
    Extent yExtent;
    for (const RdChartSeries* series : drawn) {
        for (const RateQualityPoint& point : series->points) {
            if (const std::optional<FigurePoint> p = DataPoint(point, model.measure)) {
                xExtent.Add(p->x);
                yExtent.Add(p->y);
            }
        }
    }

    const double titleFont = font * kTitleScale;
    const double tickFont = font * kTickLabelScale;
    const double top = kMargin * font + (model.title.empty() ? 0.0 : titleFont * 1.6);
    const double bottom = height - kMargin * font - font * (kAscent + 0.3) -
                          (kTickLength + kLabelGap + kAscent * kTickLabelScale + 0.5) * font;
    layout.yScale = PaddedScale(yExtent, bottom - top, kYEmsPerTick, font);
    double widestYLabel = 0.0;
    for (const double tick : layout.yScale.Ticks()) {
        widestYLabel = std::max(widestYLabel, RdTextWidth(layout.yScale.Label(tick), tickFont, RdFontWeight::Book));
    }
    const double left = kMargin * font + font * (kAscent + 0.45) + widestYLabel + (kLabelGap + kTickLength) * font;
    const LegendShape legend = ShapeLegend(drawn, font, bottom - top);
    const double right = width - kMargin * font - (legend.columns > 0 ? legend.width + kMargin * font : 0.0);
    layout.plot = {left, top, std::max(1.0, right - left), std::max(1.0, bottom - top)};
    const RdChartRect& plot = layout.plot;
    layout.xScale = PaddedScale(xExtent, plot.width, kXEmsPerTick, font);

    const auto xOf = [&](double x) { return MapToLength(layout.xScale, x, plot.x, plot.width); };
    const auto yOf = [&](double y) { return MapToLength(layout.yScale, y, plot.y + plot.height, -plot.height); };
    const double plotBottom = plot.y + plot.height;
    const double plotRight = plot.x + plot.width;

    for (const double tick : layout.xScale.Ticks()) {
        const double x = xOf(tick);
        layout.grid.push_back({{x, plot.y}, {x, plotBottom}});
        layout.ticks.push_back({{x, plotBottom}, {x, plotBottom + kTickLength * font}});
        layout.texts.push_back({layout.xScale.Label(tick),
                                {x, plotBottom + (kTickLength + kLabelGap + kAscent * kTickLabelScale) * font},
                                RdTextAnchor::Middle, tickFont});
    }
    for (const double tick : layout.yScale.Ticks()) {
        const double y = yOf(tick);
        layout.grid.push_back({{plot.x, y}, {plotRight, y}});
        layout.ticks.push_back({{plot.x - kTickLength * font, y}, {plot.x, y}});
        layout.texts.push_back({layout.yScale.Label(tick),
                                {plot.x - (kTickLength + kLabelGap) * font, y + kHalfCapHeight * tickFont},
                                RdTextAnchor::End, tickFont});
    }
    if (!model.title.empty()) {
        layout.texts.push_back({model.title, {plot.x + plot.width / 2.0, kMargin * font + kAscent * titleFont},
                                RdTextAnchor::Middle, titleFont, RdFontWeight::Bold});
    }
    layout.texts.push_back({model.xLabel, {plot.x + plot.width / 2.0, height - kMargin * font - 0.3 * font},
                            RdTextAnchor::Middle, font});
    layout.texts.push_back({model.yLabel, {kMargin * font + kAscent * font, plot.y + plot.height / 2.0},
                            RdTextAnchor::Middle, font, RdFontWeight::Book, true});

    for (const RdChartSeries* series : drawn) {
        RdChartCurve curve{{}, series->colour, series->marker};
        for (const RateQualityPoint& point : series->points) {
            if (const std::optional<FigurePoint> p = DataPoint(point, model.measure))
                curve.points.push_back({xOf(p->x), yOf(p->y)});
        }
        layout.curves.push_back(std::move(curve));
    }

    if (legend.columns > 0) {
        const double legendFont = font * kLegendScale;
        const double row = kLegendRow * legendFont;
        layout.legendBox = {plotRight + kMargin * font, plot.y, legend.width, legend.height};
        for (std::size_t i = 0; i < drawn.size(); ++i) {
            const int column = static_cast<int>(i) / legend.rowsPerColumn;
            const int rowIndex = static_cast<int>(i) % legend.rowsPerColumn;
            const double x = layout.legendBox.x + kLegendPad * font + column * legend.columnWidth;
            const double y = layout.legendBox.y + kLegendPad * font + rowIndex * row + 0.5 * legendFont;
            const double lineEnd = x + (kLegendLine - 0.2) * font;
            layout.legend.push_back({{{x, y}, {lineEnd, y}},
                                     {(x + lineEnd) / 2.0, y},
                                     {drawn[i]->name, {x + kLegendLine * font, y + kHalfCapHeight * legendFont},
                                      RdTextAnchor::Start, legendFont},
                                     drawn[i]->colour,
                                     drawn[i]->marker});
        }
    }
    return layout;
}

}  // namespace pictora
