#pragma once

#include <cstdint>

namespace pictora {

// The winner of a nearest-neuron search, kept as the largest (similarity,
// position) pair offered so far, starting from a floor that nothing has
// beaten. This is exactly what the ordered scan computes (the last neuron
// whose similarity is at least the best so far), but it does not depend on
// the order of the offers: searches may visit neurons in any order and merge
// partial winners. A NaN similarity never compares true and never wins.
struct BestNeuron {
    double value;
    std::int64_t position = -1;  // -1 while no neuron reached the floor

    explicit BestNeuron(double floor) : value(floor) {}

    void Offer(double similarity, std::uint32_t at) {
        if (similarity > value || (similarity == value && static_cast<std::int64_t>(at) > position)) {
            value = similarity;
            position = at;
        }
    }
    void Merge(const BestNeuron& other) {
        if (other.position >= 0) Offer(other.value, static_cast<std::uint32_t>(other.position));
    }
};

}  // namespace pictora
