#include "quantizer/BlockPixels.h"

#include <algorithm>

namespace pictora {
namespace {

// 0 for the top (left) half, 1 for the bottom (right) half, -1 for the middle
// line of an odd side.
int HalfOf(std::uint32_t i, std::uint32_t side) {
    if (side == 1) return 0;
    const std::uint32_t half = side / 2;
    if (i < half) return 0;
    if (i >= side - half) return 1;
    return -1;
}

}  // namespace

int PixelGroup(std::uint32_t i, std::uint32_t j, std::uint32_t side) {
    const int row = HalfOf(i, side);
    const int column = HalfOf(j, side);
    return row < 0 || column < 0 ? -1 : row * 2 + column;
}

std::int64_t GroupSize(std::uint32_t side) {
    const std::int64_t half = side == 1 ? 1 : side / 2;
    return half * half;
}

void BlockPixels::Resize(std::uint32_t side) {
    side_ = side;
    bytes_.assign(static_cast<std::size_t>(side) * side, 0);
    pairs_.assign((bytes_.size() + 1) / 2, 0);
}

void BlockPixels::Gather(const Plane& source, std::uint32_t row, std::uint32_t column) {
    for (std::uint32_t i = 0; i < side_; ++i)
        std::copy_n(source[row + i] + column, side_, bytes_.data() + static_cast<std::size_t>(i) * side_);
    Summarise();
}

void BlockPixels::Take(const std::uint8_t* bytes) {
    std::copy_n(bytes, bytes_.size(), bytes_.data());
    Summarise();
}

void BlockPixels::Summarise() {
    groups_.fill(0);
    sum_ = 0;
    for (std::uint32_t i = 0; i < side_; ++i) {
        for (std::uint32_t j = 0; j < side_; ++j) {
            const std::int32_t x = bytes_[static_cast<std::size_t>(i) * side_ + j];
            sum_ += x;
            const int group = PixelGroup(i, j, side_);
            if (group >= 0) groups_[static_cast<std::size_t>(group)] += x;
        }
    }
    const std::size_t count = bytes_.size();
    for (std::size_t k = 0; k < pairs_.size(); ++k) {
        const std::int32_t high = 2 * k + 1 < count ? bytes_[2 * k + 1] : 0;
        pairs_[k] = static_cast<std::int32_t>(bytes_[2 * k]) | (high << 16);
    }
}

}  // namespace pictora
