#include "quantizer/NeuronSearch.h"

#include <algorithm>
#include <bit>

#include "quantizer/ExhaustiveSearch.h"
#include "quantizer/NearestNeuron.h"
#include "quantizer/PrunedSearch.h"

namespace pictora {
namespace {

// Neurons per bucket, on average over the whole circle, before the buckets
// double. Neurons without negative weights fill only a quarter of it, so the
// buckets they use hold about four times as many.
constexpr std::uint32_t kNeuronsPerBucket = 12;

std::uint32_t BucketsFor(std::uint32_t count) {
    const std::uint32_t wanted = std::bit_ceil(std::max(1u, count / kNeuronsPerBucket));
    return std::clamp(wanted, AngleIndex::kFewestBuckets, AngleIndex::kMostBuckets);
}

}  // namespace

void NeuronSearch::Rebuild(const NeuronList& neurons, std::uint32_t count) {
    if (reference_) return;
    if (basis_.Dimension() != neurons.Dimension()) basis_.Resize(neurons.Dimension());
    Reindex(neurons, count);
}

// Leaves the basis alone: blocks of the next row may be described meanwhile.
void NeuronSearch::Reindex(const NeuronList& neurons, std::uint32_t count) {
    index_.Reset(neurons.Dimension() + 1, BucketsFor(count));
    for (std::uint32_t i = 0; i < count; ++i) Index(neurons.At(i));
}

void NeuronSearch::Appended(const NeuronList& neurons) {
    if (reference_) return;
    const std::uint32_t count = index_.Size() + 1;
    if (BucketsFor(count) > index_.BucketCount()) return Reindex(neurons, count);
    Index(neurons.At(count - 1));
}

void NeuronSearch::Index(const Neuron& neuron) {
    VectorSketch sketch;
    basis_.Describe(neuron.weights.data(), sketch);
    index_.Append(neuron.weights.data(), sketch);
}

void NeuronSearch::Moved(std::uint32_t position, const Neuron& neuron) {
    if (reference_) return;
    VectorSketch sketch;
    basis_.Describe(neuron.weights.data(), sketch);
    index_.Update(position, neuron.weights.data(), sketch);
}

void NeuronSearch::Freeze() {
    if (!reference_) index_.SortBySlant();
}

void NeuronSearch::Release() { index_ = AngleIndex(); }

void NeuronSearch::Describe(const BlockVector& block, VectorSketch& sketch) const {
    if (!reference_) basis_.Describe(block, sketch);
}

std::int64_t NeuronSearch::Find(const NeuronList& neurons, std::uint32_t count, const double* vector,
                                const VectorSketch& sketch, double floor, std::int64_t hint) const {
    if (reference_) return FindNearestNeuron(neurons, count, vector, floor);
    if (index_.UntamedCount() > 0) return FindExhaustive(index_, vector, floor).position;
    return FindPruned(index_, sketch, vector, floor, hint).position;
}

}  // namespace pictora
