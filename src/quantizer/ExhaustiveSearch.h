#pragma once

#include "quantizer/AngleIndex.h"
#include "quantizer/BestNeuron.h"

namespace pictora {

// The nearest neuron of a block by computing every similarity, tile by tile,
// for indexes in which some neuron is not tame (NaN, infinite or huge weights
// after a learning rate far outside 0..1), where no bound can be trusted.
// Large indexes are split over the processor's cores, each part keeping its
// own (similarity, position) winner, and the parts merged; the result does not
// depend on how the tiles were split.
BestNeuron FindExhaustive(const AngleIndex& index, const double* vector, double floor);

}  // namespace pictora
