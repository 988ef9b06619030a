#pragma once

#include <string>
#include <vector>

#include "display/ChartModel.h"

namespace pictora {

// The logical drawing system of the chart window: 1000 x 500 units mapped
// onto 90 % x 80 % of the client area, so the whole client is 1111 x 625
// units. Scaled points (0..1000, 0..500) are drawn in the plotting area.
inline constexpr int kChartWindowWidth = 1000;
inline constexpr int kChartWindowHeight = 500;
inline constexpr int kChartClientWidth = 1111;
inline constexpr int kChartClientHeight = 625;
inline constexpr int kPlotLeft = 70;
inline constexpr int kPlotRight = 1070;
inline constexpr int kPlotTop = 45;
inline constexpr int kPlotBottom = 545;
inline constexpr int kChartFontHeight = 30;

struct ChartLine {
    int x1, y1, x2, y2;
    bool operator==(const ChartLine&) const = default;
};

// A point's mark: a stroke of the dash-dot-dot pen in the point's colour.
struct ChartStroke {
    ChartLine line;
    ChartColour colour;
};

// Which corner of its text box a text is anchored by, in the text's own
// frame; a vertical text reads upward (rotated 90° counter-clockwise).
enum class ChartTextAnchor { LeftTop, RightBottom };

struct ChartText {
    std::string text;  // UTF-8
    int x;
    int y;
    ChartTextAnchor anchor;
    bool vertical;
};

// Everything painted over the white background, in logical units: the grid
// (black, one pixel), the labels and titles (Arial, 30 units high), and the
// marks of the points in the order added. Empty when the chart has no points.
struct ChartPicture {
    std::vector<ChartLine> grid;
    std::vector<ChartText> texts;
    std::vector<ChartStroke> marks;
};

// Lays out the chart for a viewport of the given size in pixels, which
// places the labels and titles a few pixels off their reference points.
// Points with a coordinate that scales to an infinite or NaN value are left
// out: a cross is not drawn, and the polyline joins the line points around it.
ChartPicture LayOutChart(const ChartModel& model, int viewportWidth, int viewportHeight);

}  // namespace pictora
