#pragma once

#include <cstdint>

#include "support/Plane.h"

namespace pictora {

// BT.601 studio-range conversion of the top-left rows x columns samples.
// Results are truncated toward zero and stored without clamping: for inputs
// 0..255 they stay within 16..235 (Y) and 16..239 (Cb, Cr).
void RgbToYCbCr(std::uint32_t rows, std::uint32_t columns, const Plane& r, const Plane& g, const Plane& b,
                Plane& y, Plane& cb, Plane& cr);

// The inverse conversion, clamped to 0..255 before truncation. Every output
// sample depends only on the input samples at its own position, so the
// outputs may be the same objects as the inputs.
void YCbCrToRgb(std::uint32_t rows, std::uint32_t columns, const Plane& y, const Plane& cb, const Plane& cr,
                Plane& r, Plane& g, Plane& b);

}  // namespace pictora
