#pragma once

#include <string>
#include <vector>

#include "display/FigurePoint.h"
#include "display/NiceScale.h"
#include "display/RdChartModel.h"
#include "display/RdTextWidth.h"

namespace pictora {

// Where a text's anchor point lies along it.
enum class RdTextAnchor { Start, Middle, End };

// A text placed by its baseline point; a vertical text is turned a quarter
// counter-clockwise about that point, so it reads upward.
struct RdChartText {
    std::string text;  // UTF-8
    FigurePoint at;
    RdTextAnchor anchor = RdTextAnchor::Start;
    double size = 12.0;
    RdFontWeight weight = RdFontWeight::Book;
    bool vertical = false;
};

struct RdChartSegment {
    FigurePoint from;
    FigurePoint to;
};

struct RdChartRect {
    double x = 0.0;
    double y = 0.0;
    double width = 0.0;
    double height = 0.0;
};

// A curve in figure coordinates: the polyline through `points`, a marker on each.
struct RdChartCurve {
    std::vector<FigurePoint> points;
    ChartColour colour;
    RdMarker marker = RdMarker::Circle;
};

// A legend row: a stretch of the curve's line with its marker in the middle,
// then the name.
struct RdLegendEntry {
    RdChartSegment line;
    FigurePoint markerAt;
    RdChartText label;
    ChartColour colour;
    RdMarker marker = RdMarker::Circle;
};

// The whole figure in the units of a width x height picture, y pointing
// down: what both the SVG and the PNG writer draw, in this order: the grid,
// the plot frame and ticks, the texts, the curves, the legend.
struct RdChartLayout {
    double width = 0.0;
    double height = 0.0;
    RdChartRect plot;
    NiceScale xScale;
    NiceScale yScale;
    std::vector<RdChartSegment> grid;
    std::vector<RdChartSegment> ticks;
    std::vector<RdChartText> texts;
    std::vector<RdChartCurve> curves;
    RdChartRect legendBox;
    std::vector<RdLegendEntry> legend;
    // Stroke widths and the marker radius, scaled with the font.
    double gridWidth = 1.0;
    double frameWidth = 1.0;
    double curveWidth = 2.0;
    double markerRadius = 4.0;
    double fontSize = 12.0;
};

inline constexpr int kRdChartDefaultWidth = 900;
inline constexpr int kRdChartDefaultHeight = 600;

// Lays out the chart on a width x height picture: the title over the plot,
// nice ticks on both axes spanning every finite point, the legend to the
// right of the plot (in more columns when its rows would not fit). Points
// whose measure is not defined or with an infinite or NaN coordinate are
// left out of their curve, and a
// series without any other point has no curve and no legend row. The font
// grows with the picture, so a bigger picture shows the same figure larger.
RdChartLayout LayOutRdChart(const RdChartModel& model, double width, double height);

}  // namespace pictora
