#include "quantizer/Neuron.h"

#include <algorithm>
#include <cmath>

#include "quantizer/WeightKernels.h"
#include "support/Truncate.h"

namespace pictora {

void Neuron::Allocate(std::uint32_t d) {
    trainings = 0;
    wins = 0;
    dimension = d;
    weights.assign(d + 1, 0.0);
    pixels.assign(d + 1, 0);
}

void Neuron::SetWeights(const double* vector) { std::copy(vector, vector + dimension + 1, weights.begin()); }

void Neuron::CopyPixels(std::uint8_t* out) const { std::copy(pixels.begin(), pixels.end(), out); }

double Neuron::Similarity(const double* vector) const {
    double sum = 0.0;
    for (std::uint32_t i = 0; i <= dimension; ++i) sum += weights[i] * vector[i];
    return sum;
}

void Neuron::MoveToward(const double* vector, double alfa) {
    MoveWeightsToward(weights.data(), vector, dimension + 1, alfa);
    ++trainings;
}

void Neuron::WeightsToPixels() {
    const double root = std::sqrt(static_cast<double>(dimension));
    for (std::uint32_t i = 0; i <= dimension; ++i) {
        pixels[i] = static_cast<std::uint8_t>(TruncateToInt64(root * weights[i] * 255) & 0xFF);
    }
}

void Neuron::Refit(const std::uint8_t* bytes, const double* vector) {
    std::copy(bytes, bytes + dimension, pixels.begin());
    SetWeights(vector);
    const double root = std::sqrt(static_cast<double>(dimension));
    pixels[dimension] = static_cast<std::uint8_t>(TruncateToInt64(root * weights[dimension] * 255) & 0xFF);
}

}  // namespace pictora
