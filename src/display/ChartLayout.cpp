#include "display/ChartLayout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "display/ChartAxis.h"
#include "support/NumberText.h"

namespace pictora {
namespace {

constexpr int kXLabelTop = 558;
constexpr int kXTitleTop = 590;
// A y label's bottom lies this far below its grid line, which centres the
// 30-unit text on the line.
constexpr int kYLabelDrop = 15;
constexpr int kYTitleRight = 28;
// Offsets of the titles from the middle of their axis, in pixels.
constexpr double kXTitleShift = 11.0;
constexpr double kYTitleShift = 19.0;
// A label starts this many pixels per character left of its grid line.
constexpr double kLabelPixelsPerCharacter = 3.0;
// Half the width and height of a cross.
constexpr int kCrossArm = 6;

// Drawing coordinates are truncated. Only a degenerate chart scales a point
// far outside the window; bounding it first keeps the conversion defined.
constexpr double kCoordinateBound = 1.0e6;

int Truncated(double value) { return static_cast<int>(std::clamp(value, -kCoordinateBound, kCoordinateBound)); }

// Labels read the same in every locale.
std::string Format(const char* format, double value) { return FormatC(format, value); }

std::string XLabel(const ChartModel& model, const ChartAxis& axis, int i, double gridX) {
    if (!axis.relative) return Format("%.0f", (gridX - kPlotLeft) * axis.high * 0.001);
    const double value = ((axis.high - axis.low) * i / axis.divisions + axis.low) / model.XScale();
    return Format(model.XScale() == 1.0 ? "%.0f" : "%.2f", value);
}

std::string YLabel(const ChartModel& model, const ChartAxis& axis, int j) {
    if (!axis.relative) return Format("%.0f", static_cast<double>(j) / axis.divisions * axis.high);
    const double value = (axis.high - axis.low) * j / axis.divisions + axis.low;
    return Format(model.TwoDecimals() ? "%.2f" : "%.0f", value);
}

void AddAxes(ChartPicture& picture, const ChartModel& model, const ChartAxis& x, const ChartAxis& y,
             int viewportWidth, int viewportHeight) {
    const double unitsPerPixelX = static_cast<double>(kChartWindowWidth) / viewportWidth;
    const int xTitleLeft = Truncated(kChartWindowWidth / 2 - kXTitleShift * kChartWindowWidth / viewportWidth);
    picture.texts.push_back({model.XTitle(), xTitleLeft, kXTitleTop, ChartTextAnchor::LeftTop, false});

    for (int i = 0; i <= x.divisions; ++i) {
        const double gridX = kPlotLeft + i * (1.0 / x.divisions) * kChartWindowWidth;
        picture.grid.push_back({Truncated(gridX), kPlotTop, Truncated(gridX), kPlotBottom});
        std::string label = XLabel(model, x, i, gridX);
        const double shift = unitsPerPixelX * static_cast<double>(label.size()) * kLabelPixelsPerCharacter;
        picture.texts.push_back(
            {std::move(label), Truncated(gridX - shift), kXLabelTop, ChartTextAnchor::LeftTop, false});
    }

    // Grid lines are listed from the top down; label j belongs to the j-th
    // line counted from the bottom.
    const double step = 1.0 / y.divisions;
    for (int j = 0; j <= y.divisions; ++j) {
        const int gridY = Truncated(kPlotTop + j * step * kChartWindowHeight);
        picture.grid.push_back({kPlotLeft, gridY, kPlotRight, gridY});
        const int labelBottom = Truncated((y.divisions - j) * step * kChartWindowHeight + (kPlotTop + kYLabelDrop));
        picture.texts.push_back({YLabel(model, y, j), kPlotLeft, labelBottom, ChartTextAnchor::RightBottom, false});
    }

    const int yTitleBottom = Truncated(kChartWindowHeight / 2 - kYTitleShift * kChartWindowHeight / viewportHeight);
    picture.texts.push_back({model.YTitle(), kYTitleRight, yTitleBottom, ChartTextAnchor::RightBottom, true});
}

void AddMarks(ChartPicture& picture, const ChartModel& model, const ChartAxis& x, const ChartAxis& y) {
    bool lineStarted = false;
    int lineX = 0;
    int lineY = 0;
    for (const ChartPoint& point : model.Points()) {
        const double scaledX = x.Scale(point.x, kChartWindowWidth);
        const double scaledY = y.Scale(point.y, kChartWindowHeight);
        if (!std::isfinite(scaledX) || !std::isfinite(scaledY)) continue;
        if (point.kind == ChartPointKind::Cross) {
            const int left = Truncated(kPlotLeft - kCrossArm + scaledX);
            const int right = Truncated(kPlotLeft + kCrossArm + scaledX);
            const int top = Truncated(kPlotBottom - kCrossArm - scaledY);
            const int bottom = Truncated(kPlotBottom + kCrossArm - scaledY);
            picture.marks.push_back({{left, top, right, bottom}, point.colour});
            picture.marks.push_back({{right, top, left, bottom}, point.colour});
            continue;
        }
        const int endX = Truncated(kPlotLeft + scaledX);
        const int endY = Truncated(kPlotBottom - scaledY);
        if (lineStarted) picture.marks.push_back({{lineX, lineY, endX, endY}, point.colour});
        lineStarted = true;
        lineX = endX;
        lineY = endY;
    }
}

}  // namespace

ChartPicture LayOutChart(const ChartModel& model, int viewportWidth, int viewportHeight) {
    ChartPicture picture;
    if (!model.HasPoints()) return picture;
    const ChartAxis x = XAxisOf(model);
    const ChartAxis y = YAxisOf(model);
    AddAxes(picture, model, x, y, std::max(1, viewportWidth), std::max(1, viewportHeight));
    AddMarks(picture, model, x, y);
    return picture;
}

}  // namespace pictora
