#pragma once

#include <span>
#include <string>
#include <vector>

#include "display/RdChartModel.h"
#include "measures/RateQualityPoint.h"

namespace pictora {

// One curve of a rate–quality chart: its legend's name and its points in the
// order they are joined (a family's front, a run's steps, a codec's ladder).
struct RdCurve {
    std::string name;
    std::vector<RateQualityPoint> points;
};

// Adds each curve to the chart as a series of its points whose quality by
// the chart's measure is defined, in the style of its place among the
// series; a curve left with no point adds none. The sweep's charts and the
// desktop program's rate–distortion tab are both drawn from curves this way.
void AddRdCurves(RdChartModel& chart, std::span<const RdCurve> curves);

}  // namespace pictora
