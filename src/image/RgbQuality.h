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

// Three planes taken as one image, R, G, B.
using RgbPlanes = std::array<const Plane*, 3>;

// The errors over the top-left rows x columns of both plane triples, which
// must cover that area; returns the samples per plane. With none, the errors
// come out NaN.
std::uint32_t MeanSquaredErrors(const RgbPlanes& source, const RgbPlanes& other, std::uint32_t rows,
                                std::uint32_t columns, std::array<double, 3>& mse);
// The same over `other`'s area, which must lie within `source`.
std::uint32_t MeanSquaredErrors(const RgbImage& source, const RgbImage& other, std::array<double, 3>& mse);

// The errors and the pSNR figures. An error of 0 gives +inf, an empty image NaN.
RgbQuality MeasureRgbQuality(const RgbPlanes& source, const RgbPlanes& other, std::uint32_t rows,
                             std::uint32_t columns);
RgbQuality MeasureRgbQuality(const RgbImage& source, const RgbImage& other);

}  // namespace pictora
