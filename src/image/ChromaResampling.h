#pragma once

#include <cstdint>

#include "support/Plane.h"

namespace pictora {

// 4:2:0 decimation in place: sample (i, j) := sample (2i, 2j) for the top-left
// rows/2 x columns/2 region (halves rounded down). The chroma is picked, not
// averaged; samples outside that region are left as they were.
void Decimate420(std::uint32_t rows, std::uint32_t columns, Plane& plane);

// Takes the rows/2 x columns/2 chroma of `source` (halves rounded down) to the
// full rows x columns of `destination`: sample (r, c) := source sample
// (min(r/2, rows/2 - 1), min(c/2, columns/2 - 1)), so each half-size sample
// fills a 2 x 2 group and, at an odd size, the last row or column repeats the
// one before it. Nothing is written when a half is 0. The planes must differ.
void Upsample420(std::uint32_t rows, std::uint32_t columns, Plane& destination, const Plane& source);

}  // namespace pictora
