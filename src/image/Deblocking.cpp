#include "image/Deblocking.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace pictora {
namespace {

struct Thresholds {
    int step;    // largest step across the edge that is smoothed
    int slope;   // largest step between the two samples on either side
    int change;  // largest change of a sample
};

Thresholds For(DeblockStrength strength) {
    switch (strength) {
        case DeblockStrength::Light: return {8, 3, 2};
        case DeblockStrength::Medium: return {16, 6, 4};
        case DeblockStrength::Strong: return {32, 12, 8};
        case DeblockStrength::Off: break;
    }
    return {0, 0, 0};
}

std::uint8_t Clamp(int value) { return static_cast<std::uint8_t>(std::clamp(value, 0, 255)); }

// One line of samples across an edge: p1 p0 | q0 q1, read from `in`, written to `out`.
void FilterLine(const std::uint8_t* in, std::uint8_t* out, std::ptrdiff_t stride, const Thresholds& t) {
    const int p1 = in[-2 * stride];
    const int p0 = in[-stride];
    const int q0 = in[0];
    const int q1 = in[stride];
    if (std::abs(p0 - q0) >= t.step || std::abs(p1 - p0) >= t.slope || std::abs(q1 - q0) >= t.slope) return;
    const int delta = std::clamp(((q0 - p0) * 4 + (p1 - q1) + 4) >> 3, -t.change, t.change);
    out[-stride] = Clamp(p0 + delta);
    out[0] = Clamp(q0 - delta);
}

}  // namespace

// Vertical edges first, then horizontal ones; each pass reads the samples as
// they were before it, so the result does not depend on the order of edges.
void Deblock(Plane& plane, std::uint32_t rows, std::uint32_t columns, std::uint32_t side, DeblockStrength strength) {
    if (strength == DeblockStrength::Off || side < 2) return;
    const std::uint32_t height = rows / side * side;
    const std::uint32_t width = columns / side * side;
    if (height == 0 || width == 0) return;
    const Thresholds t = For(strength);
    const std::ptrdiff_t stride = plane[1] - plane[0];
    (void)stride;
    std::vector<std::uint8_t> before(static_cast<std::size_t>(height) * width);
    const auto snapshot = [&] {
        for (std::uint32_t i = 0; i < height; ++i) std::copy_n(plane[i], width, before.data() + static_cast<std::size_t>(i) * width);
    };
    snapshot();
    for (std::uint32_t i = 0; i < height; ++i)
        for (std::uint32_t x = side; x < width; x += side)
            FilterLine(before.data() + static_cast<std::size_t>(i) * width + x, plane[i] + x, 1, t);
    snapshot();
    for (std::uint32_t y = side; y < height; y += side) {
        for (std::uint32_t j = 0; j < width; ++j) {
            // Columns: the snapshot's rows are `width` apart, the plane's by its own stride.
            const std::uint8_t* in = before.data() + static_cast<std::size_t>(y) * width + j;
            const int p1 = in[-2 * static_cast<std::ptrdiff_t>(width)];
            (void)p1;
            std::uint8_t line[4] = {in[-2 * static_cast<std::ptrdiff_t>(width)], in[-static_cast<std::ptrdiff_t>(width)], in[0],
                                    in[width]};
            std::uint8_t result[4] = {line[0], line[1], line[2], line[3]};
            FilterLine(line + 2, result + 2, 1, t);
            plane[y - 1][j] = result[1];
            plane[y][j] = result[2];
        }
    }
}

}  // namespace pictora
