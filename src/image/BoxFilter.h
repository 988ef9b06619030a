#pragma once

#include <cstdint>

#include "support/Plane.h"

namespace pictora {

// The low-pass filter applied to a reconstruction: none, or a box of 3, 5, 7
// or 9 pixels a side.
enum class LowPassFilter { None, Box3, Box5, Box7, Box9 };

// Low-pass filter of the rows x columns region: each sample becomes the mean
// of the b x b window centred on it; LowPassFilter::None leaves the plane
// unchanged. Positions outside the plane count as
// 0 and the divisor is always b*b, so borders come out darker. The mean is the
// window sum times the reciprocal of b*b, truncated.
void BoxFilter(Plane& plane, std::uint32_t rows, std::uint32_t columns, LowPassFilter filter);

}  // namespace pictora
