#include "measures/RgbSsimMap.h"

#include <array>

namespace pictora {

std::optional<SsimMap> RgbSsimMap(const std::array<const Plane*, 3>& source,
                                  const std::array<const Plane*, 3>& reconstruction) {
    std::optional<SsimMap> mean;
    for (std::size_t c = 0; c < 3; ++c) {
        std::optional<SsimMap> plane = PlaneSsimMap(*source[c], *reconstruction[c]);
        if (!plane) return std::nullopt;
        if (!mean) {
            mean = std::move(plane);
            continue;
        }
        for (std::size_t i = 0; i < mean->values.size(); ++i) mean->values[i] += plane->values[i];
    }
    // Summed R + G + B first, then divided, as the image's SSIM is the mean of the three.
    for (double& value : mean->values) value /= 3.0;
    return mean;
}

std::optional<SsimMap> RgbSsimMap(const RgbImage& source, const RgbImage& reconstruction) {
    if (source.width != reconstruction.width || source.height != reconstruction.height) return std::nullopt;
    return RgbSsimMap({&source.red, &source.green, &source.blue},
                      {&reconstruction.red, &reconstruction.green, &reconstruction.blue});
}

}  // namespace pictora
