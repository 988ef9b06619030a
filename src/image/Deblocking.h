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
// keeps real edges. How far it goes follows from the plane itself: the mean
// step across block edges E and the mean step between neighbours inside
// blocks I give the largest slope it smooths,
//     beta = trunc(1.5 * S * max(E - I, 0) + 0.5)    (S = 1, 2, 3)
// and nothing is done when beta is 0. Along every line that crosses an edge,
// p0 p1 .. pw on one side and q0 q1 .. qw on the other (w = max(1, side / 4),
// p0 and q0 next to the edge), the step d = q0 - p0 becomes a ramp when
// |d| < 8 beta and every step |p(i) - p(i-1)|, |q(i) - q(i-1)| for
// i = 1 .. w is below beta: p(i) += c(i), q(i) -= c(i) for i = 0 .. w-1 with
// c(i) = floor(d (w - i) / (2w + 1) + 1/2), clamped to 0 .. 255. Vertical
// edges come first, each line read from the plane as it was before them,
// then horizontal edges the same way on that result. Samples outside the full
// blocks and planes of blocks of one pixel are left alone, and so is
// everything at DeblockStrength::Off.
void Deblock(Plane& plane, std::uint32_t rows, std::uint32_t columns, std::uint32_t side, DeblockStrength strength);

}  // namespace pictora
