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

    // Copies the block whose top-left corner is (row, column) and normalises it.
    void Gather(const Plane& source, std::uint32_t row, std::uint32_t column);

    const double* Values() const { return vector_.data(); }
    const std::int64_t* Pixels() const { return pixels_.data(); }
    std::uint32_t Dimension() const { return dimension_; }
    std::uint32_t Side() const { return side_; }
    // N: Values() are Pixels() / N.
    std::int64_t Scale() const { return blockScale_; }
    // The sum of the squares of the d pixels (not of the augmentation).
    std::int64_t SumOfSquares() const { return sumOfSquares_; }

private:
    void Normalise();

    std::uint32_t dimension_ = 0;
    std::uint32_t side_ = 0;
    std::int64_t blockScale_ = 0;
    std::int64_t sumOfSquares_ = 0;
    std::vector<std::int64_t> pixels_;
    std::vector<double> vector_;
    std::vector<double> quotients_;  // x / N for x = 0 .. N
};

// n = trunc(sqrt(d)), the side of the square blocks of dimension d.
std::uint32_t BlockSide(std::uint32_t dimension);

}  // namespace pictora
