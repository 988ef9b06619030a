#include "image/ScalarPngRowKernels.h"

#include <cstdlib>

namespace pictora {

std::uint8_t PngPrediction(PngFilter filter, std::uint8_t a, std::uint8_t b, std::uint8_t c) {
    switch (filter) {
        case PngFilter::None: return 0;
        case PngFilter::Sub: return a;
        case PngFilter::Up: return b;
        case PngFilter::Average: return static_cast<std::uint8_t>((a + b) / 2);
        case PngFilter::Paeth: {
            const int nearA = std::abs(b - c);  // |(a + b - c) - a|
            const int nearB = std::abs(a - c);
            const int nearC = std::abs(a + b - 2 * c);
            if (nearA <= nearB && nearA <= nearC) return a;
            return nearB <= nearC ? b : c;
        }
    }
    return 0;
}

void ScalarUnfilterRow(PngFilter filter, const std::uint8_t* in, const std::uint8_t* above, std::size_t stride,
                       std::size_t begin, std::size_t end, std::uint8_t* out) {
    for (std::size_t k = begin; k < end; ++k) {
        const std::uint8_t a = k >= stride ? out[k - stride] : 0;
        const std::uint8_t c = k >= stride ? above[k - stride] : 0;
        out[k] = static_cast<std::uint8_t>(in[k] + PngPrediction(filter, a, above[k], c));
    }
}

void ScalarFilterRow(PngFilter filter, const std::uint8_t* row, const std::uint8_t* above, std::size_t stride,
                     std::size_t begin, std::size_t end, std::uint8_t* out) {
    for (std::size_t k = begin; k < end; ++k) {
        const std::uint8_t a = k >= stride ? row[k - stride] : 0;
        const std::uint8_t c = k >= stride ? above[k - stride] : 0;
        out[k] = static_cast<std::uint8_t>(row[k] - PngPrediction(filter, a, above[k], c));
    }
}

void ScalarFilterCosts(const std::uint8_t* row, const std::uint8_t* above, std::size_t stride, std::size_t begin,
                       std::size_t end, std::uint64_t costs[kPngFilterCount]) {
    for (std::size_t k = begin; k < end; ++k) {
        const std::uint8_t a = k >= stride ? row[k - stride] : 0;
        const std::uint8_t c = k >= stride ? above[k - stride] : 0;
        for (std::uint8_t f = 0; f < kPngFilterCount; ++f) {
            const auto filtered = static_cast<std::uint8_t>(row[k] - PngPrediction(PngFilter{f}, a, above[k], c));
            costs[f] += filtered < 128 ? filtered : 256 - filtered;
        }
    }
}

void ScalarSplitRgb(const std::uint8_t* row, std::size_t sampleBytes, std::size_t begin, std::size_t end,
                    std::uint8_t* red, std::uint8_t* green, std::uint8_t* blue) {
    for (std::size_t j = begin; j < end; ++j) {
        const std::uint8_t* pixel = row + 3 * sampleBytes * j;
        red[j] = pixel[0];
        green[j] = pixel[sampleBytes];
        blue[j] = pixel[2 * sampleBytes];
    }
}

void ScalarJoinRgb(const std::uint8_t* red, const std::uint8_t* green, const std::uint8_t* blue, std::size_t begin,
                   std::size_t end, std::uint8_t* row) {
    for (std::size_t j = begin; j < end; ++j) {
        row[3 * j] = red[j];
        row[3 * j + 1] = green[j];
        row[3 * j + 2] = blue[j];
    }
}

}  // namespace pictora
