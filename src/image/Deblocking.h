#pragma once

#include <cstdint>

#include "support/Plane.h"

namespace pictora {

// The deblocking filter a reconstruction may get before it is shown or
// measured: off, or one of three strengths. It is the decoder's choice, not
// recorded in any file.
enum class DeblockStrength { Off, Light, Medium, Strong };

// Smooths the steps across the edges between the side x side blocks of the
// rows x columns region of a plane rebuilt from blocks of that side, and
// keeps real edges (see the README for the rule). Samples outside the full
// blocks and blocks of fewer than two pixels a side are left alone, and so is
// everything at DeblockStrength::Off.
void Deblock(Plane& plane, std::uint32_t rows, std::uint32_t columns, std::uint32_t side, DeblockStrength strength);

}  // namespace pictora
