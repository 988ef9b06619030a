#include "measures/RealPlane.h"

#include <algorithm>
#include <vector>

#include "support/WorkerPool.h"

namespace pictora {

namespace {

const std::uint8_t* RowOf(const Plane& plane, std::size_t row) { return plane[row]; }
const double* RowOf(const RealPlane& plane, std::size_t row) { return plane.Row(row); }

// Rows of the half plane per part of the job.
constexpr std::uint32_t kBandRows = 64;

// The samples and their sums are whole multiples of a power of two small
// enough for a double to hold them exactly (8-bit samples even fit an
// integer), so the means are exact whatever the order of the additions:
// each row pair is first added column by column, which vectorises, and the
// column sums are then added in pairs.
template <typename Source, typename Sum>
RealPlane HalvedOf(const Source& source) {
    RealPlane half(source.Height() / 2, source.Width() / 2);
    const std::uint32_t parts = (half.Height() + kBandRows - 1) / kBandRows;
    const std::size_t pairedWidth = 2 * static_cast<std::size_t>(half.Width());
    WorkerPool::Shared().Run(parts, [&](unsigned part, unsigned) {
        std::vector<Sum> columnSums(pairedWidth);
        const std::uint32_t last = std::min(half.Height(), (part + 1) * kBandRows);
        for (std::uint32_t i = part * kBandRows; i < last; ++i) {
            const auto* upper = RowOf(source, 2 * static_cast<std::size_t>(i));
            const auto* lower = RowOf(source, 2 * static_cast<std::size_t>(i) + 1);
            for (std::size_t j = 0; j < pairedWidth; ++j) columnSums[j] = static_cast<Sum>(upper[j]) + lower[j];
            double* out = half.Row(i);
            for (std::uint32_t j = 0; j < half.Width(); ++j)
                out[j] = static_cast<double>(columnSums[2 * j] + columnSums[2 * j + 1]) / 4.0;
        }
    });
    return half;
}

}  // namespace

RealPlane Halved(const Plane& plane) { return HalvedOf<Plane, std::uint32_t>(plane); }
RealPlane Halved(const RealPlane& plane) { return HalvedOf<RealPlane, double>(plane); }

double LargestSample(const RealPlane& plane) {
    double largest = 0.0;
    for (std::uint32_t y = 0; y < plane.Height(); ++y)
        for (std::uint32_t x = 0; x < plane.Width(); ++x) largest = std::max(largest, plane.Row(y)[x]);
    return largest;
}

}  // namespace pictora
