#include "quantizer/NeuronList.h"

#include <algorithm>

namespace pictora {

Neuron& NeuronList::AppendEmpty() {
    Neuron& neuron = neurons_.emplace_back();
    neuron.Allocate(dimension_);
    return neuron;
}

void NeuronList::Append(const double* vector, std::uint16_t x, std::uint16_t y) {
    Neuron& neuron = AppendEmpty();
    neuron.SetWeights(vector);
    neuron.originX = x;
    neuron.originY = y;
}

void NeuronList::AppendFromPixels(const std::uint8_t* pixels, BlockVector& normaliser) {
    Neuron& neuron = AppendEmpty();
    std::copy_n(pixels, dimension_, neuron.pixels.begin());
    normaliser.NormalisePixels(pixels, neuron.weights.data());
}

void NeuronList::PruneUnused() {
    auto survivors = std::stable_partition(neurons_.begin(), neurons_.end(),
                                           [](const Neuron& neuron) { return neuron.used; });
    removed_ = static_cast<std::uint32_t>(neurons_.end() - survivors);
    neurons_.erase(survivors, neurons_.end());
}

void NeuronList::ClearUsedMarks() {
    for (Neuron& neuron : neurons_) neuron.used = false;
}

void NeuronList::ClearWins() {
    for (Neuron& neuron : neurons_) neuron.wins = 0;
}

void NeuronList::Clear() { neurons_.clear(); }

void NeuronList::SetDimension(std::uint32_t dimension) {
    Clear();
    dimension_ = dimension;
}

}  // namespace pictora
