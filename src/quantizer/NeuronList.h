#pragma once

#include <cstdint>
#include <vector>

#include "quantizer/BlockVector.h"
#include "quantizer/Neuron.h"

namespace pictora {

// The ordered codebook of one channel. A neuron's position is its index in
// every code array and file; neurons are appended one at a time and removed
// in bulk by PruneUnused, which keeps the order of the survivors.
class NeuronList {
public:
    void Append(const double* vector, std::uint16_t x, std::uint16_t y);
    // Appends a neuron known only by its d pixels (a coded image's codebook):
    // its weights are the vector those pixels normalise to as a block,
    // augmentation component included, so that it codes like a trained one.
    // `normaliser` is sized for the list's dimension.
    void AppendFromPixels(const std::uint8_t* pixels, BlockVector& normaliser);

    Neuron& At(std::uint32_t i) { return neurons_[i]; }
    const Neuron& At(std::uint32_t i) const { return neurons_[i]; }

    // Removes every neuron whose `used` mark is clear.
    void PruneUnused();
    void ClearUsedMarks();
    void ClearWins();
    void Clear();
    void SetDimension(std::uint32_t dimension);

    std::uint32_t Count() const { return static_cast<std::uint32_t>(neurons_.size()); }
    std::uint32_t Removed() const { return removed_; }
    std::uint32_t Dimension() const { return dimension_; }

private:
    Neuron& AppendEmpty();

    std::vector<Neuron> neurons_;
    std::uint32_t dimension_ = 0;
    std::uint32_t removed_ = 0;
};

}  // namespace pictora
