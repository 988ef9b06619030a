#include "display/ChartModel.h"

#include <algorithm>
#include <cmath>

namespace pictora {

void ChartModel::Clear() {
    points_.clear();
    minX_ = minY_ = kInitialMinimum;
    maxX_ = maxY_ = 0.0;
    relative_ = false;
    twoDecimals_ = false;
}

void ChartModel::SetOptions(bool relative, bool twoDecimals, double xScale) {
    relative_ = relative;
    twoDecimals_ = twoDecimals;
    xScale_ = xScale;
}

void ChartModel::AddPoint(ChartPointKind kind, double x, double y, ChartColour colour) {
    points_.push_back({kind, x, y, colour});
    if (!std::isfinite(x) || !std::isfinite(y)) return;
    minX_ = std::min(minX_, x);
    maxX_ = std::max(maxX_, x);
    minY_ = std::min(minY_, y);
    maxY_ = std::max(maxY_, y);
}

}  // namespace pictora
