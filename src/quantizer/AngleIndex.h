#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <vector>

#include "quantizer/AlignedVector.h"
#include "quantizer/VectorSketch.h"

namespace pictora {

// The neurons of one network, grouped by the brightness angle of their sketch
// into equal buckets around the circle and stored for the vector searches.
//
// Inside a bucket neurons sit in tiles of kLanes: the d + 1 weights of a tile
// component-major (component k of all its neurons, then component k + 1), so
// one vector register holds one component of several neurons and each lane
// sums its own neuron from component 0 upward. The sketch terms of a tile are
// laid out the same way, in single precision: bounds are tests, not results,
// and half the bytes pass through the cache twice as fast. A search allows
// for their rounding (see BucketScan). A bucket keeps its neurons packed at
// the front; the lanes after the last one hold zeros.
//
// Every change costs O(d): a neuron that is moved into another bucket leaves a
// hole that the bucket's last neuron fills.
//
// Every tile keeps at least the largest length of either part of its lanes'
// stored terms (the brightness part and the rest, each rounded to single
// precision), so that a search can bound a whole tile with two products. The
// bounds only grow as neurons are written into a tile; they are tight where a
// bucket is ordered by slant, the angle of a sketch between its two parts,
// which groups alike neurons into tiles. A bucket is ordered anew once as many
// changes reached it since its last ordering as it holds neurons, which costs
// O(1) per change on average, and every bucket is ordered by SortBySlant
// (before a coding scan, say).
class AngleIndex {
public:
    static constexpr std::uint32_t kLanes = 8;
    // Tile bounds are kept in runs of this many, so that a vector kernel may
    // read whole runs.
    static constexpr std::uint32_t kTileBoundRun = 16;
    // Bucket counts are powers of two in this range; the finest buckets
    // (0.006 rad) are well inside the similarity windows of radii from 0.01 up.
    static constexpr std::uint32_t kFewestBuckets = 64;
    static constexpr std::uint32_t kMostBuckets = 1024;

    struct Bucket {
        std::uint32_t count = 0;
        AlignedVector<double> weights;  // tile t, component k, lane l at (t * components + k) * kLanes + l
        AlignedVector<float> terms;     // tile t, term k, lane l at (t * kTerms + k) * kLanes + l
        std::vector<std::uint32_t> positions;  // neuron position of every slot
        // Of every tile: at least the largest radial and rest of its lanes,
        // each rounded to the nearest float; zeros after the last tile, up
        // to a multiple of kTileBoundRun.
        std::vector<float> tileRadial;
        std::vector<float> tileRest;
        std::uint32_t changes = 0;  // neurons written, added or removed since the bucket was ordered
        std::uint32_t Tiles() const { return (count + kLanes - 1) / kLanes; }
    };

    // Empties the index for vectors of `components` = d + 1 doubles, with
    // `buckets` buckets (a power of two from kFewestBuckets to kMostBuckets).
    void Reset(std::uint32_t components, std::uint32_t buckets);
    // Adds the neuron at position Size().
    void Append(const double* weights, const VectorSketch& sketch);
    // Replaces the weights and sketch of the neuron at `position`.
    void Update(std::uint32_t position, const double* weights, const VectorSketch& sketch);
    // Orders every bucket by slant and bounds its tiles tightly.
    void SortBySlant();

    // Where the neuron at a position is stored: its bucket and its slot there.
    struct Location {
        std::uint32_t bucket;
        std::uint32_t slot;
    };
    Location Where(std::uint32_t position) const { return slots_[position]; }

    std::uint32_t Size() const { return static_cast<std::uint32_t>(slots_.size()); }
    std::uint32_t Components() const { return components_; }
    std::uint32_t BucketCount() const { return static_cast<std::uint32_t>(buckets_.size()); }
    const Bucket& At(std::uint32_t bucket) const { return buckets_[bucket]; }
    // Neurons whose sketch is not tame; the bounds do not hold for them.
    std::uint32_t UntamedCount() const { return untamed_; }
    // At least the length of every tame neuron added or updated since Reset.
    double NormBound() const { return normBound_; }

    // The bucket of a finite angle in [-pi, pi].
    std::uint32_t BucketOf(double angle) const;
    // The bucket whose edges enclose the finite direction (augmentation,
    // mean), tested with the edges' cosines and sines.
    std::uint32_t BucketOf(double augmentation, double mean) const;
    // Cosine and sine of the angle where bucket b starts; b may run past
    // either end of the circle.
    double EdgeCosine(std::int64_t bucket) const { return edges_->cosines[EdgeAt(bucket)]; }
    double EdgeSine(std::int64_t bucket) const { return edges_->sines[EdgeAt(bucket)]; }

    // The number of buckets from `from` to the first bucket holding a neuron,
    // counting `step` (at least 1) buckets or more in `direction` (+1 toward
    // larger angles, -1 toward smaller ones, round the circle); above `limit`
    // when there is none within `limit` buckets.
    std::int64_t NextOccupied(std::uint32_t from, std::int64_t step, int direction, std::int64_t limit) const {
        while (step <= limit) {
            const std::uint64_t bucket = Wrap(from + direction * step);
            const std::uint64_t word = occupied_[bucket / 64];
            const std::uint32_t bit = bucket % 64;
            if (direction > 0) {
                const std::uint64_t ahead = word >> bit;
                if (ahead != 0) return step + std::countr_zero(ahead);
                step += 64 - bit;
            } else {
                const std::uint64_t behind = word << (63 - bit);
                if (behind != 0) return step + std::countl_zero(behind);
                step += bit + 1;
            }
        }
        return limit + 1;
    }

private:
    // Cosine and sine of the start of every bucket of the finest division;
    // the start of bucket b of a coarser one is entry b * stride.
    struct EdgeTable {
        std::array<double, kMostBuckets> cosines;
        std::array<double, kMostBuckets> sines;
        EdgeTable();
    };
    std::uint32_t BucketFor(const VectorSketch& sketch) const;
    // The bucket b is on the circle (the count is a power of two).
    std::uint64_t Wrap(std::int64_t bucket) const {
        return static_cast<std::uint64_t>(bucket) & (buckets_.size() - 1);
    }
    std::size_t EdgeAt(std::int64_t bucket) const { return Wrap(bucket) * edgeStride_; }
    void Track(std::uint32_t position, const VectorSketch& sketch);
    void Place(std::uint32_t position, const double* weights, const VectorSketch& sketch);
    void Write(Bucket& bucket, std::uint32_t slot, const double* weights, const float* terms, std::uint32_t position);
    void Remove(const Location& where);
    void Changed(Bucket& bucket);
    void Sort(Bucket& bucket);

    std::uint32_t components_ = 0;
    const EdgeTable* edges_ = nullptr;
    std::uint32_t edgeStride_ = 1;  // kMostBuckets / bucket count
    std::vector<Bucket> buckets_;
    std::array<std::uint64_t, kMostBuckets / 64> occupied_{};  // bit b: bucket b holds a neuron
    std::vector<Location> slots_;  // where each neuron position lives
    std::vector<std::uint8_t> untamedMarks_;
    std::uint32_t untamed_ = 0;
    double normBound_ = 0.0;
    Bucket unsorted_;  // Sort's copy of the bucket it orders
};

}  // namespace pictora
