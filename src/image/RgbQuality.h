#pragma once

#include <array>
#include <cstdint>

#include "image/RgbImage.h"

namespace pictora {

// How close an RGB image is to its source, as the training job has always
// measured it: the mean squared error of each plane, then the pSNR of each
// plane and of the mean of the three errors (peak 255).
struct RgbQuality {
    std::array<double, 3> mse{};
    std::array<double, 3> psnr{};
    double psnrMean = 0.0;
};

// The errors over `other`'s area, which must lie within `source`; returns the
// samples per plane. With none, the errors come out NaN.
std::uint32_t MeanSquaredErrors(const RgbImage& source, const RgbImage& other, std::array<double, 3>& mse);

// The errors and the pSNR figures. An error of 0 gives +inf, an empty image NaN.
RgbQuality MeasureRgbQuality(const RgbImage& source, const RgbImage& other);

}  // namespace pictora
