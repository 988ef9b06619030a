#include "quantizer/NearestNeuron.h"

namespace pictora {

std::int64_t FindNearestNeuron(const NeuronList& neurons, std::uint32_t count, const double* vector, double floor) {
    double best = floor;
    std::int64_t winner = -1;
    for (std::uint32_t i = 0; i < count; ++i) {
        double similarity = neurons.At(i).Similarity(vector);
        if (similarity >= best) {
            best = similarity;
            winner = i;
        }
    }
    return winner;
}

}  // namespace pictora
