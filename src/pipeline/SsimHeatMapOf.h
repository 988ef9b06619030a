#pragma once

#include <optional>

#include "display/SsimHeatMap.h"
#include "image/RgbImage.h"

namespace pictora {

// The viewer's heat map of a reconstruction against its source: the mean
// over R, G and B of the planes' per-window SSIM. Empty when the images'
// sizes differ or the map is not defined for them (a side under 11).
std::optional<SsimHeatMap> RgbSsimHeatMap(const RgbImage& source, const RgbImage& reconstruction);

}  // namespace pictora
