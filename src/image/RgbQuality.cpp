#include "image/RgbQuality.h"

#include <cmath>

#include "image/DifferenceKernels.h"

namespace pictora {

std::uint32_t MeanSquaredErrors(const RgbPlanes& source, const RgbPlanes& other, std::uint32_t rows,
                                std::uint32_t columns, std::array<double, 3>& mse) {
    const std::uint32_t count = columns * rows;
    for (std::size_t k = 0; k < 3; ++k) {
        // Every partial sum of squared 8-bit differences is an integer far
        // below 2^53, so summing in integers, in any grouping, gives the very
        // double the sample-by-sample sum in doubles gives.
        std::uint64_t sum = 0;
        for (std::uint32_t i = 0; count != 0 && i < rows; ++i)
            sum += SumOfSquaredDifferences((*source[k])[i], (*other[k])[i], columns);
        mse[k] = static_cast<double>(sum);
    }
    // With no samples the reciprocal is +inf and the errors come out NaN.
    const double reciprocal = 1.0 / count;
    for (double& error : mse) error *= reciprocal;
    return count;
}

std::uint32_t MeanSquaredErrors(const RgbImage& source, const RgbImage& other, std::array<double, 3>& mse) {
    return MeanSquaredErrors({&source.red, &source.green, &source.blue}, {&other.red, &other.green, &other.blue},
                             static_cast<std::uint32_t>(other.height), static_cast<std::uint32_t>(other.width), mse);
}

RgbQuality MeasureRgbQuality(const RgbPlanes& source, const RgbPlanes& other, std::uint32_t rows,
                             std::uint32_t columns) {
    RgbQuality quality;
    MeanSquaredErrors(source, other, rows, columns, quality.mse);
    // Peak 255 squared; the mean of the three errors is formed with the
    // constant one third, not by dividing by 3.
    for (std::size_t k = 0; k < 3; ++k) quality.psnr[k] = 10 * std::log10(65025 / quality.mse[k]);
    quality.psnrMean =
        10 * std::log10(65025 / ((quality.mse[2] + quality.mse[0] + quality.mse[1]) * 0.3333333333333333));
    return quality;
}

RgbQuality MeasureRgbQuality(const RgbImage& source, const RgbImage& other) {
    return MeasureRgbQuality({&source.red, &source.green, &source.blue}, {&other.red, &other.green, &other.blue},
                             static_cast<std::uint32_t>(other.height), static_cast<std::uint32_t>(other.width));
}

}  // namespace pictora
