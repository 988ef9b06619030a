#include "measures/RealPlane.h"

#include <algorithm>

#include "support/WorkerPool.h"

namespace pictora {

namespace {

const std::uint8_t* RowOf(const Plane& plane, std::size_t row) { return plane[row]; }
const double* RowOf(const RealPlane& plane, std::size_t row) { return plane.Row(row); }

// Rows of the half plane per part of the job.
constexpr std::uint32_t kBandRows = 64;

// The samples and their sums are whole multiples of a power of two small
// enough for a double to hold them exactly, so the means are exact and the
// same whatever the order of the additions.
template <typename Source>
RealPlane HalvedOf(const Source& source) {
    RealPlane half(source.Height() / 2, source.Width() / 2);
    const std::uint32_t parts = (half.Height() + kBandRows - 1) / kBandRows;
    WorkerPool::Shared().Run(parts, [&](unsigned part, unsigned) {
        const std::uint32_t last = std::min(half.Height(), (part + 1) * kBandRows);
        for (std::uint32_t i = part * kBandRows; i < last; ++i) {
            const auto* upper = RowOf(source, 2 * static_cast<std::size_t>(i));
            const auto* lower = RowOf(source, 2 * static_cast<std::size_t>(i) + 1);
            double* out = half.Row(i);
            for (std::uint32_t j = 0; j < half.Width(); ++j) {
                const std::size_t left = 2 * static_cast<std::size_t>(j);
                const double sum = ((static_cast<double>(upper[left]) + static_cast<double>(lower[left])) +
                                    static_cast<double>(upper[left + 1])) +
                                   static_cast<double>(lower[left + 1]);
                out[j] = sum / 4.0;
            }
        }
    });
    return half;
}

}  // namespace

RealPlane Halved(const Plane& plane) { return HalvedOf(plane); }
RealPlane Halved(const RealPlane& plane) { return HalvedOf(plane); }

}  // namespace pictora
