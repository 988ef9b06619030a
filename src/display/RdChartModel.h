#pragma once

#include <string>
#include <vector>

#include "display/ChartSink.h"
#include "measures/QualityMeasure.h"
#include "measures/RateQualityPoint.h"

namespace pictora {

// How the points of one curve are marked, so curves stay apart where their
// colours do not (a grey print, a colour-blind reader).
enum class RdMarker { Circle, Square, TriangleUp, Diamond, TriangleDown, Plus, Cross };

// One curve: a polyline through its points in the order given, a marker at
// each, and a legend entry under `name`.
struct RdChartSeries {
    std::string name;  // UTF-8
    std::vector<RateQualityPoint> points;
    ChartColour colour;
    RdMarker marker = RdMarker::Circle;
};

// A rate–distortion chart: bpp on a linear x axis against one quality
// measure on y, one series per curve. Texts are UTF-8.
struct RdChartModel {
    std::string title;
    std::string xLabel;
    std::string yLabel;
    QualityMeasure measure = QualityMeasure::Psnr;
    std::vector<RdChartSeries> series;
};

}  // namespace pictora
