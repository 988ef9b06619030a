#include "image/Deblocking.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "support/Truncate.h"

namespace pictora {
namespace {

// The samples of the full blocks, copied before a pass so that every line of
// the pass reads what was there before it.
struct Snapshot {
    std::uint32_t height;
    std::uint32_t width;
    std::vector<std::uint8_t> samples;

    Snapshot(const Plane& plane, std::uint32_t rows, std::uint32_t columns)
        : height(rows), width(columns), samples(static_cast<std::size_t>(rows) * columns) {
        for (std::uint32_t i = 0; i < rows; ++i) std::copy_n(plane[i], columns, samples.data() + static_cast<std::size_t>(i) * columns);
    }
    int At(std::uint32_t i, std::uint32_t j) const { return samples[static_cast<std::size_t>(i) * width + j]; }
};

// The largest slope smoothed, from the mean steps across block edges and
// inside blocks.
int SlopeLimit(const Snapshot& plane, std::uint32_t side, DeblockStrength strength) {
    std::uint64_t edgeSum = 0, edgeCount = 0, innerSum = 0, innerCount = 0;
    const auto add = [&](int a, int b, bool acrossEdge) {
        const auto step = static_cast<std::uint64_t>(std::abs(a - b));
        (acrossEdge ? edgeSum : innerSum) += step;
        ++(acrossEdge ? edgeCount : innerCount);
    };
    for (std::uint32_t i = 0; i < plane.height; ++i) {
        for (std::uint32_t j = 0; j < plane.width; ++j) {
            if (j > 0) add(plane.At(i, j), plane.At(i, j - 1), j % side == 0);
            if (i > 0) add(plane.At(i, j), plane.At(i - 1, j), i % side == 0);
        }
    }
    if (edgeCount == 0 || innerCount == 0) return 0;
    const double excess = static_cast<double>(edgeSum) / static_cast<double>(edgeCount) -
                          static_cast<double>(innerSum) / static_cast<double>(innerCount);
    const double scale = 1.5 * static_cast<double>(static_cast<int>(strength));
    return static_cast<int>(TruncateToInt64(scale * std::max(excess, 0.0) + 0.5));
}

// One line across an edge: line(i) for i = -w-1 .. w is p(-i-1) for negative
// i and q(i) otherwise, read from the snapshot; changed samples are written
// through `write`.
template <typename Read, typename Write>
void FilterLine(int w, int beta, Read line, Write write) {
    const int step = line(0) - line(-1);
    if (std::abs(step) >= 8 * beta) return;
    for (int i = 1; i <= w; ++i)
        if (std::abs(line(-i - 1) - line(-i)) >= beta || std::abs(line(i) - line(i - 1)) >= beta) return;
    const int denominator = 2 * (2 * w + 1);
    for (int i = 0; i < w; ++i) {
        // floor(step (w - i) / (2w + 1) + 1/2): an odd divisor leaves no ties.
        const int numerator = 2 * step * (w - i) + (2 * w + 1);
        const int change = numerator >= 0 ? numerator / denominator : -((-numerator + denominator - 1) / denominator);
        write(-i - 1, std::clamp(line(-i - 1) + change, 0, 255));
        write(i, std::clamp(line(i) - change, 0, 255));
    }
}

}  // namespace

void Deblock(Plane& plane, std::uint32_t rows, std::uint32_t columns, std::uint32_t side, DeblockStrength strength) {
    if (strength == DeblockStrength::Off || side < 2) return;
    const std::uint32_t height = rows / side * side;
    const std::uint32_t width = columns / side * side;
    if (height == 0 || width == 0) return;
    Snapshot before(plane, height, width);
    const int beta = SlopeLimit(before, side, strength);
    if (beta == 0) return;
    const int w = static_cast<int>(std::max(1u, side / 4));

    for (std::uint32_t i = 0; i < height; ++i) {
        for (std::uint32_t x = side; x < width; x += side) {
            FilterLine(
                w, beta, [&](int k) { return before.At(i, x + k); },
                [&](int k, int value) { plane[i][x + k] = static_cast<std::uint8_t>(value); });
        }
    }
    before = Snapshot(plane, height, width);
    for (std::uint32_t y = side; y < height; y += side) {
        for (std::uint32_t j = 0; j < width; ++j) {
            FilterLine(
                w, beta, [&](int k) { return before.At(y + k, j); },
                [&](int k, int value) { plane[y + k][j] = static_cast<std::uint8_t>(value); });
        }
    }
}

}  // namespace pictora
