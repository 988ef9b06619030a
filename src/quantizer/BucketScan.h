#pragma once

#include <array>
#include <cstdint>

#include "quantizer/AngleIndex.h"
#include "quantizer/BestNeuron.h"
#include "quantizer/VectorSketch.h"

namespace pictora {

// Tiles of a search waiting for their similarities. They are computed a few
// at a time, so that the chains of additions of several tiles overlap, and
// offered lane by lane to the search's winner; lanes past a bucket's last
// neuron are padding and never offered.
class TileBatch {
public:
    TileBatch(const double* vector, std::uint32_t components, BestNeuron& best)
        : vector_(vector), components_(components), best_(best) {}

    // Queues one tile; computes the queue once it is full.
    void Add(const AngleIndex::Bucket& bucket, std::uint32_t tile);
    // Computes and offers every queued tile.
    void Flush();
    const BestNeuron& Best() const { return best_; }

private:
    static constexpr std::uint32_t kSize = 8;
    const double* vector_;
    std::uint32_t components_;
    BestNeuron& best_;
    std::uint32_t count_ = 0;
    std::array<const AngleIndex::Bucket*, kSize> buckets_{};
    std::array<std::uint32_t, kSize> tiles_{};
};

// A block as the bucket scans test it. The index keeps its terms and tile
// bounds in single precision, and so are the block's terms and the tests'
// arithmetic: each rounding moves a bound by at most 2^-24 of its parts, so a
// bound computed here is never below its exact value by more than 1e-6 of
// NormBound * |t(v)|. The tests are held to the best similarity less an
// allowance of four times that, plus the search's own margin.
struct ScannedBlock {
    std::array<float, VectorSketch::kTerms> terms;
    double radial;
    double rest;
    double allowance;
};
ScannedBlock PrepareScan(const VectorSketch& block, double normBound, double margin);

// Queues every tile of the bucket, but `skippedTile`, in which some lane has a
// sketch bound of at least the batch's best similarity less the allowance.
// Whole tiles are ruled out by their lengths first, with `cosine` (in 0 .. 1)
// at least the cosine of the angle between the brightness part of the block
// and that of any neuron of the bucket.
void ScanBucket(const AngleIndex::Bucket& bucket, const ScannedBlock& block, double cosine, TileBatch& batch,
                std::uint32_t skippedTile);

// Queues tiles first .. end-1 of the bucket.
void ScanTiles(const AngleIndex::Bucket& bucket, std::uint32_t first, std::uint32_t end, TileBatch& batch);

}  // namespace pictora
