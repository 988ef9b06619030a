#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "quantizer/BlockVector.h"

namespace pictora {

// A few coordinates of a (d + 1)-component vector in an orthonormal basis that
// suits image blocks, enough to bound the similarity of two vectors without
// computing it. Natural blocks put most of their energy in their mean and their
// coarse left-right and top-bottom gradients, so
//     w . v <= sum of terms[k](w) * terms[k](v)
// is close to the true similarity of nearby vectors and far above it for
// vectors that are not.
struct VectorSketch {
    // Coordinates on the augmentation axis, the block mean, the left-right and
    // the top-bottom difference, then the length of whatever those four leave
    // out (the Cauchy-Schwarz bound of the remaining components).
    static constexpr std::uint32_t kTerms = 5;
    std::array<double, kTerms> terms{};
    double norm = 0.0;    // length of the whole vector
    double radial = 0.0;  // length in the (mean, augmentation) plane
    double rest = 0.0;    // length of everything outside that plane
    // Every figure finite and small enough that no product of two of them
    // overflows; bounds are only used between tame vectors.
    bool tame = false;
};

// Computes sketches of neurons and blocks of one dimension d (a square).
//
// Coordinates carry rounding errors of a few units in the last place of the
// vector's length. The residual of a block is computed exactly in integers;
// that of a neuron is padded (by about 3e-6 of its length) so that it stays an
// upper bound whatever cancellation costs. The bounds built from two sketches
// are therefore never below the true similarity by more than 1e-13 of the
// product of the two lengths, which the searches cover with a far larger
// margin.
class SketchBasis {
public:
    // Lengths above this make a vector untamed, and so does a largest weight
    // below this unless every weight is zero: the terms of a tame vector and
    // their products with a block's stay within single precision's range.
    static constexpr double kLargestNorm = 1e30;
    static constexpr double kSmallestWeight = 1e-30;

    void Resize(std::uint32_t dimension);
    std::uint32_t Dimension() const { return dimension_; }
    void Describe(const double* vector, VectorSketch& sketch) const;
    // The sketch of the block's vector, from its integer pixels.
    void Describe(const BlockVector& block, VectorSketch& sketch) const;

private:
    void Finish(VectorSketch& sketch) const;

    std::uint32_t dimension_ = 0;
    double meanWeight_ = 0.0;       // 1 / sqrt(d): each pixel's share of the unit mean vector
    std::int64_t halfCount_ = 0;    // pixels on either side of a half difference
    double halfWeight_ = 0.0;       // 1 / sqrt(2 * halfCount_), 0 for one-pixel blocks
    std::vector<double> leftRight_;  // unit vector +c on the left half of the columns, -c on the right
    std::vector<double> topBottom_;  // the same over rows
};

}  // namespace pictora
