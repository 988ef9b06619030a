#include "quantizer/BlockVector.h"

#include <cmath>

#include "quantizer/GatherKernels.h"
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
    // +1 on the first half of the lines (or columns), -1 on the second, 0 on
    // an odd middle one: the same signs serve both differences.
    halfSigns_.assign(side_, 0);
    for (std::uint32_t i = 0; i < side_ / 2; ++i) {
        halfSigns_[i] = 1;
        halfSigns_[side_ - 1 - i] = -1;
    }
    pixelLines_.assign(side_, nullptr);
}

void BlockVector::Release() {
    dimension_ = 0;
    side_ = 0;
    vector_.clear();
    halfSigns_.clear();
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
// sketch needs.
void BlockVector::GatherLines(const std::uint8_t* const* lines, std::uint32_t column, double* vector) {
    PixelSums sums;
    GatherBlock(lines, column, side_, static_cast<double>(blockScale_), halfSigns_.data(), halfSigns_.data(), vector,
                sums);
    pixelSum_ = sums.sum;
    sumOfSquares_ = sums.squares;
    acrossDifference_ = sums.across;
    downDifference_ = sums.down;
    // For square d every pixel is at most 255, so the radicand is never negative.
    const std::int64_t radicand = blockScale_ * blockScale_ - sumOfSquares_;
    augmentation_ = radicand > 0 ? TruncateToInt64(std::sqrt(static_cast<double>(radicand))) : 0;
    vector[dimension_] = static_cast<double>(augmentation_) / static_cast<double>(blockScale_);
}

}  // namespace pictora
