#pragma once

#include <array>
#include <optional>

#include "image/RgbImage.h"
#include "measures/SsimMap.h"
#include "support/Plane.h"

namespace pictora {

// The per-window SSIM of an RGB pair as one map: at each window the mean of
// the R, G and B planes' values, so its mean is, up to rounding, the image's SSIM as
// MeasureImages gives it. Empty when any plane's map is.
std::optional<SsimMap> RgbSsimMap(const std::array<const Plane*, 3>& source,
                                  const std::array<const Plane*, 3>& reconstruction);
// The same of two images, the viewer's heat map of a reconstruction; also
// empty when the images' sizes differ.
std::optional<SsimMap> RgbSsimMap(const RgbImage& source, const RgbImage& reconstruction);

}  // namespace pictora
