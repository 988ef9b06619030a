#include "image/BoxFilter.h"

#include <algorithm>
#include <vector>

namespace pictora {

void BoxFilter(Plane& plane, std::uint32_t rows, std::uint32_t columns, LowPassFilter filter) {
    if (filter == LowPassFilter::None) return;
    const std::int64_t side = 1 + 2 * static_cast<std::int64_t>(filter);
    const std::int64_t reach = side / 2;
    const double reciprocal = 1.0 / static_cast<double>(side * side);
    const std::int64_t height = rows;
    const std::int64_t width = columns;

    // The window sum is an integer, so summing rows first and then columns
    // gives exactly the sum of the whole window at a fraction of the cost.
    std::vector<std::uint32_t> rowSums(static_cast<std::size_t>(height * width));
    for (std::int64_t i = 0; i < height; ++i) {
        for (std::int64_t j = 0; j < width; ++j) {
            std::uint32_t sum = 0;
            for (std::int64_t c = std::max<std::int64_t>(0, j - reach); c <= std::min(width - 1, j + reach); ++c) {
                sum += plane[i][c];
            }
            rowSums[i * width + j] = sum;
        }
    }

    Plane scratch(rows, columns);
    for (std::int64_t i = 0; i < height; ++i) {
        for (std::int64_t j = 0; j < width; ++j) {
            std::uint32_t sum = 0;
            for (std::int64_t r = std::max<std::int64_t>(0, i - reach); r <= std::min(height - 1, i + reach); ++r) {
                sum += rowSums[r * width + j];
            }
            scratch[i][j] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(sum * reciprocal));
        }
    }
    for (std::int64_t i = 0; i < height; ++i) {
        std::copy_n(scratch[i], width, plane[i]);
    }
}

}  // namespace pictora
