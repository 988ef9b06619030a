#include "measures/GaussianWindow.h"

#include <cmath>

namespace pictora {

namespace {

std::array<double, GaussianWindow::kSide> NormalisedTaps() {
    std::array<double, GaussianWindow::kSide> taps{};
    double sum = 0.0;
    for (std::size_t k = 0; k < GaussianWindow::kSide; ++k) {
        const double x = static_cast<double>(k) - static_cast<double>(GaussianWindow::kRadius);
        taps[k] = std::exp(-(x * x) / (2.0 * GaussianWindow::kSigma * GaussianWindow::kSigma));
        sum += taps[k];
    }
    for (double& tap : taps) tap /= sum;
    return taps;
}

}  // namespace

const std::array<double, GaussianWindow::kSide>& GaussianWindow::Taps() {
    static const std::array<double, kSide> taps = NormalisedTaps();
    return taps;
}

}  // namespace pictora
