#include "image/RgbQuality.h"

#include <cmath>

namespace pictora {

std::uint32_t MeanSquaredErrors(const RgbImage& source, const RgbImage& other, std::array<double, 3>& mse) {
    const auto rows = static_cast<std::uint32_t>(other.height);
    const auto columns = static_cast<std::uint32_t>(other.width);
    mse.fill(0.0);
    const std::uint32_t count = columns * rows;
    if (count != 0) {
        const Plane* const mine[3] = {&source.red, &source.green, &source.blue};
        const Plane* const theirs[3] = {&other.red, &other.green, &other.blue};
        for (std::uint32_t i = 0; i < rows; ++i) {
            for (std::uint32_t j = 0; j < columns; ++j) {
                for (int k = 0; k < 3; ++k) {
                    const int difference = (*mine[k])[i][j] - (*theirs[k])[i][j];
                    mse[static_cast<std::size_t>(k)] += difference * difference;
                }
            }
        }
    }
    // With no samples the reciprocal is +inf and the errors come out NaN.
    const double reciprocal = 1.0 / count;
    for (double& error : mse) error *= reciprocal;
    return count;
}

RgbQuality MeasureRgbQuality(const RgbImage& source, const RgbImage& other) {
    RgbQuality quality;
    MeanSquaredErrors(source, other, quality.mse);
    // Peak 255 squared; the mean of the three errors is formed with the
    // constant one third, not by dividing by 3.
    for (std::size_t k = 0; k < 3; ++k) quality.psnr[k] = 10 * std::log10(65025 / quality.mse[k]);
    quality.psnrMean =
        10 * std::log10(65025 / ((quality.mse[2] + quality.mse[0] + quality.mse[1]) * 0.3333333333333333));
    return quality;
}

}  // namespace pictora
