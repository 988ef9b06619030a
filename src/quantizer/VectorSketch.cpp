#include "quantizer/VectorSketch.h"

#include <algorithm>
#include <cmath>

#include "quantizer/SketchKernels.h"

namespace pictora {
namespace {

// +1 on the first half of the columns (or rows) of an n x n block, -1 on the
// second, 0 on an odd middle line. For n = 1 there is no difference to take
// and every sign is 0, which the decomposition tolerates (its coordinate is 0).
std::vector<std::int8_t> HalfSigns(std::uint32_t side, bool acrossColumns) {
    std::vector<std::int8_t> signs(static_cast<std::size_t>(side) * side, 0);
    const std::uint32_t half = side / 2;
    for (std::uint32_t i = 0; i < side; ++i) {
        for (std::uint32_t j = 0; j < side; ++j) {
            const std::uint32_t line = acrossColumns ? j : i;
            if (line < half) signs[i * side + j] = 1;
            else if (line >= side - half) signs[i * side + j] = -1;
        }
    }
    return signs;
}

}  // namespace

void SketchBasis::Resize(std::uint32_t dimension) {
    dimension_ = dimension;
    meanWeight_ = 1.0 / std::sqrt(static_cast<double>(dimension));
    const std::uint32_t side = BlockSide(dimension);
    halfCount_ = static_cast<std::int64_t>(side / 2) * side;
    halfWeight_ = halfCount_ == 0 ? 0.0 : 1.0 / std::sqrt(2.0 * static_cast<double>(halfCount_));
    const std::vector<std::int8_t> leftRightSigns = HalfSigns(side, true);
    const std::vector<std::int8_t> topBottomSigns = HalfSigns(side, false);
    leftRight_.assign(dimension, 0.0);
    topBottom_.assign(dimension, 0.0);
    for (std::uint32_t i = 0; i < dimension; ++i) {
        leftRight_[i] = leftRightSigns[i] * halfWeight_;
        topBottom_[i] = topBottomSigns[i] * halfWeight_;
    }
}

// Four coordinates and the residual of any vector, in one pass. Only the
// sums' accuracy matters here, not their order. The squared residual is what
// the four coordinates leave of the squared length; that difference can lose
// its digits to cancellation, but never more than 2e-13 of the squared length
// (d + 1 <= 145 terms, errors of 1.1e-16 each), so adding 1e-11 of the
// squared length keeps it an upper bound.
void SketchBasis::Describe(const double* vector, VectorSketch& sketch) const {
    constexpr double kResidualSlack = 1e-11;
    const std::uint32_t d = dimension_;
    const ComponentSums sums = SumComponents(vector, leftRight_.data(), topBottom_.data(), d);
    const double augmentation = vector[d];
    const double mean = sums.sum * meanWeight_;
    const double a = sums.across;
    const double b = sums.down;
    const double pixelSquares = sums.squares;
    const double normSquared = pixelSquares + augmentation * augmentation;
    const double left = pixelSquares - mean * mean - a * a - b * b;
    sketch.terms = {augmentation, mean, a, b, std::sqrt(std::max(left, 0.0) + kResidualSlack * normSquared)};
    sketch.norm = std::sqrt(normSquared);
    Finish(sketch);
    // A vector whose largest weight is this small has terms that single
    // precision cannot hold, unless it is all zeros.
    const double largest = std::max(sums.largest, std::abs(augmentation));
    sketch.tame = sketch.tame && (largest >= kSmallestWeight || largest == 0.0);
}

// A block's vector is its integer pixels x over N, so its sums are exact
// integers and the squared residual is the exact integer
//     (Q d h - S^2 h - (A^2 + B^2) d) / (d h N^2),
// with S the pixel sum, Q the sum of squares, A and B the half differences and
// h = 2 * halfCount (any positive value when there is no half to take).
void SketchBasis::Describe(const BlockVector& block, VectorSketch& sketch) const {
    const std::int64_t sum = block.PixelSum();
    const std::int64_t across = block.AcrossDifference();
    const std::int64_t down = block.DownDifference();
    const std::int64_t squares = block.SumOfSquares();
    const std::int64_t h = halfCount_ == 0 ? 1 : 2 * halfCount_;
    const std::int64_t d = dimension_;
    const std::int64_t residualSquared = squares * d * h - sum * sum * h - (across * across + down * down) * d;
    const double scale = static_cast<double>(block.Scale());
    const std::int64_t augmentation = block.Augmentation();
    sketch.terms = {static_cast<double>(augmentation) / scale, static_cast<double>(sum) * meanWeight_ / scale,
                    static_cast<double>(across) * halfWeight_ / scale, static_cast<double>(down) * halfWeight_ / scale,
                    std::sqrt(static_cast<double>(residualSquared) / static_cast<double>(d * h)) / scale};
    sketch.norm = std::sqrt(static_cast<double>(squares + augmentation * augmentation)) / scale;
    Finish(sketch);
}

void SketchBasis::Finish(VectorSketch& sketch) const {
    const double augmentation = sketch.terms[0];
    const double mean = sketch.terms[1];
    sketch.radial = std::sqrt(mean * mean + augmentation * augmentation);
    sketch.rest = std::sqrt(sketch.terms[2] * sketch.terms[2] + sketch.terms[3] * sketch.terms[3] +
                            sketch.terms[4] * sketch.terms[4]);
    // NaN fails the comparison too; a finite length this small keeps every
    // coordinate finite and every product of two sketches far from overflow.
    sketch.tame = sketch.norm <= kLargestNorm;
}

}  // namespace pictora
