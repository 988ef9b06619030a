#pragma once

#include <cstdint>
#include <vector>

#include "support/Plane.h"

namespace pictora {

// Gathers one n x n block of a plane and normalises it into the (d + 1)-component
// vector every comparison uses: the d pixels over blockScale N = trunc(sqrt(d) * 255),
// plus an augmentation component trunc(sqrt(N^2 - sum of squares)) / N that puts
// the vector (nearly) on the unit sphere.
class BlockVector {
public:
    // Sizes the scratch for blocks of `dimension` = side * side pixels.
    void Resize(std::uint32_t dimension);
    void Release();

    // Normalises the block whose top-left corner is (row, column) into Values().
    void Gather(const Plane& source, std::uint32_t row, std::uint32_t column);
    // The same, into the d + 1 doubles at `vector` instead.
    void GatherInto(const Plane& source, std::uint32_t row, std::uint32_t column, double* vector);
    // Normalises a block given as its d pixel bytes in row-major order (a
    // neuron's pixel form, say) into the d + 1 doubles at `vector`, exactly as
    // the same pixels are normalised when gathered from a plane.
    void NormalisePixels(const std::uint8_t* pixels, double* vector);

    const double* Values() const { return vector_.data(); }
    std::uint32_t Dimension() const { return dimension_; }
    std::uint32_t Side() const { return side_; }
    // N: the components are the pixels and the augmentation over N.
    std::int64_t Scale() const { return blockScale_; }

    // Integer sums of the last block gathered, which its sketch is made of:
    // of the d pixels, of their squares, the left half's columns less the
    // right half's, the top half's rows less the bottom half's (a middle line
    // of an odd side counts in neither), and the augmentation's numerator.
    std::int64_t PixelSum() const { return pixelSum_; }
    std::int64_t SumOfSquares() const { return sumOfSquares_; }
    std::int64_t AcrossDifference() const { return acrossDifference_; }
    std::int64_t DownDifference() const { return downDifference_; }
    std::int64_t Augmentation() const { return augmentation_; }

private:
    void GatherLines(const std::uint8_t* const* lines, std::uint32_t column, double* vector);

    std::uint32_t dimension_ = 0;
    std::uint32_t side_ = 0;
    std::int64_t blockScale_ = 0;
    std::int64_t pixelSum_ = 0;
    std::int64_t sumOfSquares_ = 0;
    std::int64_t acrossDifference_ = 0;
    std::int64_t downDifference_ = 0;
    std::int64_t augmentation_ = 0;
    std::vector<double> vector_;
    std::vector<double> quotients_;  // x / N for x = 0 .. N
    std::vector<const std::uint8_t*> pixelLines_;  // NormalisePixels' rows
};

// n = trunc(sqrt(d)), the side of the square blocks of dimension d.
std::uint32_t BlockSide(std::uint32_t dimension);

}  // namespace pictora
