#pragma once

#include <cstdint>
#include <vector>

#include "display/RdChartModel.h"
#include "support/Status.h"

namespace pictora {

// The largest side a chart picture may have, far above any figure's need.
inline constexpr int kRdChartMaximumSide = 8192;

// The chart rasterised as an 8-bit RGB PNG of width x height pixels, from the
// same layout as WriteRdChartSvg, so both show the same figure; antialiased,
// in DejaVu Sans. Fails on a side outside 1..kRdChartMaximumSide or when the
// drawing or the encoding fails; `png` is then left empty.
Status RenderRdChartPng(const RdChartModel& model, int width, int height, std::vector<std::uint8_t>& png);

}  // namespace pictora
