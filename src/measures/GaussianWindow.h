#pragma once

#include <array>
#include <cstddef>

namespace pictora {

// The structural-similarity window: 11 x 11 samples weighted by a Gaussian of
// standard deviation 1.5. The 2-D weights are the outer product of Taps() with
// itself, which lets every moment be filtered down the columns and then along
// the rows instead of over the whole square.
class GaussianWindow {
public:
    static constexpr std::size_t kSide = 11;
    static constexpr std::size_t kRadius = 5;
    static constexpr double kSigma = 1.5;
    // Stabilise the ratios where the means or the variances are near zero.
    static constexpr double kLuminanceConstant = (0.01 * 255.0) * (0.01 * 255.0);
    static constexpr double kContrastConstant = (0.03 * 255.0) * (0.03 * 255.0);

    // exp(-x^2 / (2 sigma^2)) for x = -5 .. 5, normalised to sum 1.
    static const std::array<double, kSide>& Taps();
};

}  // namespace pictora
