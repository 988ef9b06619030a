#pragma once

#include <cstdint>

#include "support/Plane.h"

namespace pictora {

// Low-pass filter of the rows x columns region: each sample becomes the mean
// of the b x b window centred on it, b = 3, 5, 7 or 9 for sizeIndex 0..3; any
// other index leaves the plane unchanged. Positions outside the plane count as
// 0 and the divisor is always b*b, so borders come out darker. The mean is the
// window sum times the reciprocal of b*b, truncated.
void BoxFilter(Plane& plane, std::uint32_t rows, std::uint32_t columns, int sizeIndex);

}  // namespace pictora
