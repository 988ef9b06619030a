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
    vector_.assign(dimension + 1, 0.0);
    // Every value to normalise lies in 0 .. N (pixels up to 255, the
    // augmentation up to N), so the quotients are looked up, not divided.
    const double scale = static_cast<double>(blockScale_);
    quotients_.resize(static_cast<std::size_t>(blockScale_) + 1);
    for (std::int64_t x = 0; x <= blockScale_; ++x) quotients_[x] = static_cast<double>(x) / scale;
    pixelLines_.assign(side_, nullptr);
}

void BlockVector::Release() {
    dimension_ = 0;
    side_ = 0;
    vector_.clear();
    quotients_.clear();
    pixelLines_.clear();
}

void BlockVector::Gather(const Plane& source, std::uint32_t row, std::uint32_t column) {
    GatherInto(source, row, column, vector_.data());
}

void BlockVector::GatherInto(const Plane& source, std::uint32_t row, std::uint32_t column, double* vector) {
    GatherLines(source.Rows() + row, column, vector);
}

void BlockVector::NormalisePixels(const std::uint8_t* pixels, double* vector) {
    for (std::uint32_t i = 0; i < side_; ++i) pixelLines_[i] = pixels + static_cast<std::size_t>(i) * side_;
    GatherLines(pixelLines_.data(), 0, vector);
}

// One pass over the block's samples gives its components and every sum its
// sketch needs. Sums of at most 144 samples of 8 bits (and of their squares)
// fit 32 bits.
void BlockVector::GatherLines(const std::uint8_t* const* lines, std::uint32_t column, double* vector) {
    const std::uint32_t side = side_;
    const std::uint32_t half = side / 2;
    const double* quotients = quotients_.data();
    std::int32_t sum = 0;
    std::int32_t squares = 0;
    std::int32_t across = 0;
    std::int32_t down = 0;
    for (std::uint32_t i = 0; i < side; ++i) {
        const std::uint8_t* line = lines[i] + column;
        double* out = vector + i * side;
        std::int32_t left = 0;
        std::int32_t right = 0;
        for (std::uint32_t j = 0; j < half; ++j) {
            const std::int32_t x = line[j];
            const std::int32_t y = line[side - 1 - j];
            left += x;
            right += y;
            squares += x * x + y * y;
            out[j] = quotients[x];
            out[side - 1 - j] = quotients[y];
        }
        std::int32_t total = left + right;
        if (side % 2 == 1) {
            const std::int32_t x = line[half];
            total += x;
            squares += x * x;
            out[half] = quotients[x];
        }
        sum += total;
        across += left - right;
        if (i < half) down += total;
        else if (i >= side - half) down -= total;
    }
    pixelSum_ = sum;
    sumOfSquares_ = squares;
    acrossDifference_ = across;
    downDifference_ = down;
    // For square d every pixel is at most 255, so the radicand is never negative.
    const std::int64_t radicand = blockScale_ * blockScale_ - sumOfSquares_;
    augmentation_ = radicand > 0 ? TruncateToInt64(std::sqrt(static_cast<double>(radicand))) : 0;
    vector[dimension_] = quotients[augmentation_];
}

}  // namespace pictora
