#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "support/Plane.h"

namespace pictora {

// A plane of double samples, as the coarser scales of the multi-scale
// similarity keep them: halving averages four samples, and rounding the
// average back to 8 bits would change the figures.
class RealPlane {
public:
    RealPlane() = default;
    RealPlane(std::uint32_t height, std::uint32_t width)
        : height_(height), width_(width), samples_(static_cast<std::size_t>(height) * width, 0.0) {}

    std::uint32_t Height() const { return height_; }
    std::uint32_t Width() const { return width_; }
    double* Row(std::size_t row) { return samples_.data() + row * width_; }
    const double* Row(std::size_t row) const { return samples_.data() + row * width_; }

private:
    std::uint32_t height_ = 0;
    std::uint32_t width_ = 0;
    std::vector<double> samples_;
};

// The plane at half size: sample (i, j) is the mean of the 2 x 2 samples at
// (2i, 2j), (2i+1, 2j), (2i, 2j+1), (2i+1, 2j+1); an odd last row or column
// has no partner and is dropped.
RealPlane Halved(const Plane& plane);
RealPlane Halved(const RealPlane& plane);

// The plane's largest sample, 0 for a plane without samples.
double LargestSample(const RealPlane& plane);

}  // namespace pictora
