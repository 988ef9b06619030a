#pragma once

#include <cstdint>
#include <vector>

namespace pictora {

// One codebook vector: d + 1 weights on (or just inside) the unit sphere, the
// pixel form of those weights, and the counters the charts read.
class Neuron {
public:
    // Discards the arrays (resetting the counters) and allocates d + 1 entries.
    void Allocate(std::uint32_t dimension);
    void SetWeights(const double* vector);
    void CopyPixels(std::uint8_t* out) const;

    // Dot product with a normalised block, summed from component 0 upward.
    double Similarity(const double* vector) const;
    // Moves every weight toward `vector` by `alfa`; counts one training.
    void MoveToward(const double* vector, double alfa);
    void WeightsToPixels();
    // Takes d pixel bytes and the normalised vector of those pixels as the
    // neuron's pixel form and weights (the augmentation byte from the weights,
    // as WeightsToPixels makes it).
    void Refit(const std::uint8_t* bytes, const double* vector);

    std::uint32_t dimension = 0;
    std::vector<double> weights;
    std::vector<std::uint8_t> pixels;
    bool used = false;
    std::uint32_t wins = 0;
    std::uint32_t trainings = 0;
    std::uint16_t originX = 0;
    std::uint16_t originY = 0;
};

}  // namespace pictora
