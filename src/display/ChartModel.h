#pragma once

#include <string>
#include <vector>

#include "display/ChartSink.h"

namespace pictora {

enum class ChartPointKind { Cross, Line };

struct ChartPoint {
    ChartPointKind kind;
    double x;
    double y;
    ChartColour colour;
};

// The contents of the chart window: the points as added, their extremes, the
// options and the titles. Points with an infinite or NaN coordinate (a pSNR
// of "inf" in the results list) are kept but leave the extremes alone, so
// they cannot stretch the axes; the layout does not draw them.
class ChartModel {
public:
    // The extremes start here rather than at the first point, so a chart
    // whose values all exceed it keeps it as its minimum.
    static constexpr double kInitialMinimum = 10000.0;

    void Clear();
    void SetOptions(bool relative, bool twoDecimals, double xScale);
    void SetXTitle(const std::string& text) { xTitle_ = text; }
    void SetYTitle(const std::string& text) { yTitle_ = text; }
    void AddPoint(ChartPointKind kind, double x, double y, ChartColour colour);

    const std::vector<ChartPoint>& Points() const { return points_; }
    bool HasPoints() const { return !points_.empty(); }
    double MinX() const { return minX_; }
    double MaxX() const { return maxX_; }
    double MinY() const { return minY_; }
    double MaxY() const { return maxY_; }
    bool Relative() const { return relative_; }
    bool TwoDecimals() const { return twoDecimals_; }
    double XScale() const { return xScale_; }
    const std::string& XTitle() const { return xTitle_; }
    const std::string& YTitle() const { return yTitle_; }

private:
    std::vector<ChartPoint> points_;
    double minX_ = kInitialMinimum;
    double maxX_ = 0.0;
    double minY_ = kInitialMinimum;
    double maxY_ = 0.0;
    bool relative_ = false;
    bool twoDecimals_ = false;
    double xScale_ = 1.0;
    std::string xTitle_;
    std::string yTitle_;
};

}  // namespace pictora
