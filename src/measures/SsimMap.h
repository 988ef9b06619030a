#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "support/Plane.h"

namespace pictora {

// The per-window SSIM of a plane pair, whose mean is the pair's SSIM: value
// (i, j) belongs to the window centred on sample (i + kCentreOffset,
// j + kCentreOffset), so the map is 10 samples narrower and shorter than the
// planes.
struct SsimMap {
    static constexpr std::uint32_t kCentreOffset = 5;

    std::uint32_t rows = 0;
    std::uint32_t columns = 0;
    std::vector<double> values;  // row-major

    double At(std::uint32_t row, std::uint32_t column) const {
        return values[static_cast<std::size_t>(row) * columns + column];
    }
    // No window, or fewer values than the rows and columns promise.
    bool Empty() const {
        return rows == 0 || columns == 0 || values.size() < static_cast<std::size_t>(rows) * columns;
    }
};

// Empty under the same conditions as PlaneSsim.
std::optional<SsimMap> PlaneSsimMap(const Plane& a, const Plane& b);

}  // namespace pictora
