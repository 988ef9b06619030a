#pragma once

#include <cstdint>

#include "quantizer/NeuronList.h"

namespace pictora {

// The plain nearest-neuron scan, the definition every faster search is held
// to (NeuronSearch runs it in reference mode). Scans neurons 0 .. count-1 in
// order and keeps the last one whose similarity is at least the best so far,
// starting from `floor`; ties therefore go to the later neuron. Returns its
// position, or -1 when no neuron reaches `floor`.
std::int64_t FindNearestNeuron(const NeuronList& neurons, std::uint32_t count, const double* vector, double floor);

}  // namespace pictora
