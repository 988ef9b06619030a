#include "quantizer/BlockVector.h"

#include <cmath>

#include "support/Truncate.h"

namespace pictora {

std::uint32_t BlockSide(std::uint32_t dimension) {
    return static_cast<std::uint32_t>(TruncateToInt64(std::sqrt(static_cast<double>(dimension))));
}

void BlockVector::Resize(std::uint32_t dimension) {
    dimension_ = dimension;
    side_ = BlockSide(dimension);
    blockScale_ = TruncateToInt64(std::sqrt(static_cast<double>(dimension)) * 255);
    pixels_.assign(dimension + 1, 0);
    vector_.assign(dimension + 1, 0.0);
    // Every value to normalise lies in 0 .. N (pixels up to 255, the
    // augmentation up to N), so the quotients are looked up, not divided.
    const double scale = static_cast<double>(blockScale_);
    quotients_.resize(static_cast<std::size_t>(blockScale_) + 1);
    for (std::int64_t x = 0; x <= blockScale_; ++x) quotients_[x] = static_cast<double>(x) / scale;
}

void BlockVector::Release() {
    dimension_ = 0;
    side_ = 0;
    pixels_.clear();
    vector_.clear();
    quotients_.clear();
}

void BlockVector::Gather(const Plane& source, std::uint32_t row, std::uint32_t column) {
    for (std::uint32_t i = 0; i < side_; ++i) {
        const std::uint8_t* line = source[row + i] + column;
        for (std::uint32_t j = 0; j < side_; ++j) pixels_[i * side_ + j] = line[j];
    }
    Normalise();
}

void BlockVector::Normalise() {
    std::int64_t sumOfSquares = 0;
    for (std::uint32_t i = 0; i < dimension_; ++i) sumOfSquares += pixels_[i] * pixels_[i];
    sumOfSquares_ = sumOfSquares;
    // For square d every pixel is at most 255, so the radicand is never negative.
    std::int64_t radicand = blockScale_ * blockScale_ - sumOfSquares;
    pixels_[dimension_] = radicand > 0 ? TruncateToInt64(std::sqrt(static_cast<double>(radicand))) : 0;
    for (std::uint32_t i = 0; i <= dimension_; ++i) vector_[i] = quotients_[pixels_[i]];
}

}  // namespace pictora
