#pragma once

#include <string>

#include "display/RdChartModel.h"
#include "study/SweepCurves.h"
#include "support/Status.h"

namespace pictora {

// The chart of one image by one measure: bpp on x, the measure on y, the
// Pareto front of every family and then of every codec, each with its
// legend entry.
RdChartModel SweepChart(const ImageCurves& image, QualityMeasure measure);

// Writes rd-psnr.svg, rd-msssim.svg and the same as .png into `folder`,
// which it creates.
Status WriteSweepCharts(const ImageCurves& image, const std::string& folder);

}  // namespace pictora
