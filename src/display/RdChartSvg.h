#pragma once

#include <string>

#include "display/RdChartLayout.h"
#include "display/RdChartModel.h"

namespace pictora {

// The chart as a self-contained SVG 1.1 document of width x height user
// units, laid out by LayOutRdChart: one <path> per curve for its line, its
// markers as <circle> and <polygon> elements, everything else as <line>,
// <rect> and <text>. Numbers are written with a point whatever the locale.
std::string WriteRdChartSvg(const RdChartModel& model, int width = kRdChartDefaultWidth,
                            int height = kRdChartDefaultHeight);

}  // namespace pictora
