#pragma once

#include <cstdint>

#include "quantizer/AngleIndex.h"
#include "quantizer/BlockVector.h"
#include "quantizer/NeuronList.h"
#include "quantizer/VectorSketch.h"

namespace pictora {

// The one nearest-neuron search of a network, used by training and coding
// alike. Find keeps the contract of FindNearestNeuron, the plain ordered scan:
// the same position for every input, bit for bit, however it gets there.
//
// By default it searches an AngleIndex of the neurons with vector kernels and
// bounds (PrunedSearch), or, while some neuron has weights no bound holds for,
// with every similarity (ExhaustiveSearch). The index follows the list: Rebuild
// at the start of a pass, then Appended or Moved after each change, at O(d)
// apiece; as the list grows, the index is rebuilt with twice the buckets each
// time the neurons per bucket pass a limit, which is O(d) per neuron over the
// whole growth. In reference mode it runs the plain scan itself and keeps no
// index.
class NeuronSearch {
public:
    void SetReference(bool reference) { reference_ = reference; }
    bool Reference() const { return reference_; }
    // Whether searches compute every similarity now, spread over the cores
    // when there are many neurons (so they had better not run inside a job of
    // the WorkerPool, which would keep them on one core).
    bool Exhaustive() const { return !reference_ && index_.UntamedCount() > 0; }

    // Indexes neurons 0 .. count-1 of the list (d must be a square).
    void Rebuild(const NeuronList& neurons, std::uint32_t count);
    // The neuron just appended to the list at the next position, or the one
    // at `position` after its weights changed.
    void Appended(const NeuronList& neurons);
    void Moved(std::uint32_t position, const Neuron& neuron);
    // Tells the search that the neurons indexed stay as they are until the
    // next Rebuild (as through a coding scan), which lets it sort the index
    // for faster searches.
    void Freeze();
    // Frees the index.
    void Release();

    // The sketch of a block, which Find needs (the plain scan does not).
    void Describe(const BlockVector& block, VectorSketch& sketch) const;

    // The position of the last of neurons 0 .. count-1 with the largest
    // similarity to a block's vector that is at least `floor`, or -1.
    // `count` is the number indexed by Rebuild and Appended. A `hint` below
    // `count` (a guess at the winner, -1 for none) may make the search
    // faster and never changes its result. Safe to call from several threads
    // at once.
    std::int64_t Find(const NeuronList& neurons, std::uint32_t count, const double* vector, const VectorSketch& sketch,
                      double floor, std::int64_t hint = -1) const;

private:
    void Reindex(const NeuronList& neurons, std::uint32_t count);
    void Index(const Neuron& neuron);

    bool reference_ = false;
    SketchBasis basis_;
    AngleIndex index_;
};

}  // namespace pictora
