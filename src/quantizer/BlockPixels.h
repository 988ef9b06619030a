#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "support/Plane.h"

namespace pictora {

// One block's pixels as the least-error search compares them: the bytes in
// row-major order, the same bytes packed in pairs for the vector kernels, and
// the integer sums its bounds are made of.
//
// The bounds split a block into four equal groups, its quadrants of
// h x h pixels (h = side / 2; the middle row and column of an odd side belong
// to none; a one-pixel block is its own only group). By Cauchy-Schwarz on
// each group, for any two blocks x and p
//     h^2 * |x - p|^2 >= sum over groups g of (S_g(x) - S_g(p))^2
//     d   * |x - p|^2 >= (S(x) - S(p))^2        (S: the sum of all d pixels)
// exact integer inequalities, so a neuron is ruled out only when its error
// is surely larger than the best one found.
class BlockPixels {
public:
    static constexpr std::uint32_t kGroups = 4;

    // Sizes the scratch for blocks of side * side pixels.
    void Resize(std::uint32_t side);
    // The block whose top-left corner is (row, column).
    void Gather(const Plane& source, std::uint32_t row, std::uint32_t column);
    // A block given as its side * side bytes in row-major order.
    void Take(const std::uint8_t* bytes);

    std::uint32_t Side() const { return side_; }
    std::uint32_t Dimension() const { return side_ * side_; }
    const std::uint8_t* Bytes() const { return bytes_.data(); }
    // Pixel 2j in the low half of pairs[j], pixel 2j + 1 (0 past the last) in
    // the high half.
    const std::int32_t* Pairs() const { return pairs_.data(); }
    std::uint32_t PairCount() const { return static_cast<std::uint32_t>(pairs_.size()); }
    const std::array<std::int32_t, kGroups>& Groups() const { return groups_; }
    std::int32_t Sum() const { return sum_; }

private:
    void Summarise();

    std::uint32_t side_ = 0;
    std::vector<std::uint8_t> bytes_;
    std::vector<std::int32_t> pairs_;
    std::array<std::int32_t, kGroups> groups_{};
    std::int32_t sum_ = 0;
};

// The group (0 .. 3, row-major quadrants) of pixel (i, j) of a block of the
// given side, or -1 for the middle row and column of an odd side.
int PixelGroup(std::uint32_t i, std::uint32_t j, std::uint32_t side);
// The pixels of one group: h^2, or 1 for a one-pixel block.
std::int64_t GroupSize(std::uint32_t side);

}  // namespace pictora
