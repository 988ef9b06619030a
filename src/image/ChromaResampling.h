#pragma once

#include <cstdint>

#include "support/Plane.h"

namespace pictora {

// 4:2:0 decimation in place: sample (i, j) := sample (2i, 2j) for the top-left
// rows/2 x columns/2 region (halves rounded down). The chroma is picked, not
// averaged; samples outside that region are left as they were.
void Decimate420(std::uint32_t rows, std::uint32_t columns, Plane& plane);

// Replicates each sample of the halfRows x halfColumns region of `source` into
// a 2 x 2 group of `destination`. With an odd full size the last row or
// column of the destination is not written. The two planes must differ.
void Upsample420(std::uint32_t halfRows, std::uint32_t halfColumns, Plane& destination, const Plane& source);

}  // namespace pictora
