#pragma once

#include "quantizer/AngleIndex.h"
#include "quantizer/BestNeuron.h"
#include "quantizer/VectorSketch.h"

namespace pictora {

// The nearest neuron of a block among the tame neurons of an index, found
// without computing most similarities, and exactly the one the ordered scan
// finds.
//
// Buckets are visited outward from the block's own brightness angle. For a
// neuron w whose angle is at least delta away from the block's,
//     w . v <= |w| * sqrt(radial(v)^2 * max(cos delta, 0)^2 + rest(v)^2)
// (Cauchy-Schwarz in the mean/augmentation plane and outside it), which only
// falls as delta grows: once a bucket's bound is below the target, so is every
// bucket farther out on that side. Inside a bucket, a tile is computed only
// when one of its lanes has a sketch bound at or above the target. The target
// is the best similarity so far (at first the floor: the training threshold
// T, so only neurons within about arccos T of the block's angle are ever
// looked at), lowered by a margin of 1e-10 times the largest neuron length:
// far more than the rounding of any similarity or bound (below 1e-13 of the
// lengths' product), so a neuron is skipped only when its similarity is surely
// below the target, never when it could equal it. The bounds themselves are
// computed in single precision, and the tests allow for that too (a few parts
// in a million of the lengths' product; see ScannedBlock).
//
// A `hint` (a position, or -1) names a neuron likely to win: its tile is
// computed first, so that the target starts high.
BestNeuron FindPruned(const AngleIndex& index, const VectorSketch& block, const double* vector, double floor,
                      std::int64_t hint);

}  // namespace pictora
