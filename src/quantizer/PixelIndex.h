#pragma once

#include <cstdint>
#include <vector>

#include "quantizer/AlignedVector.h"
#include "quantizer/NeuronList.h"
#include "quantizer/PixelKernels.h"

namespace pictora {

// The pixels of a fixed codebook, stored for the least-error search: neurons
// sorted by the sum of their pixels, in tiles of kPixelLanes. A tile holds its
// neurons' pixel pairs component-major (pair j of all its lanes, then pair
// j + 1) as 16-bit values, their group sums (BlockPixels) the same way, and
// the least and largest pixel sum among its lanes; lanes after the last
// neuron hold zeros and are never offered.
class PixelIndex {
public:
    // Block sides up to this keep every sum of the kernels inside 31 bits.
    static constexpr std::uint32_t kLargestSide = 16;

    // Indexes the pixels of neurons 0 .. count-1 (d a square of a side up to
    // kLargestSide), but those marked in `left out` (by position, none when
    // null).
    void Build(const NeuronList& neurons, std::uint32_t count, const std::uint8_t* leftOut = nullptr);
    void Release();

    std::uint32_t Side() const { return side_; }
    std::uint32_t PairCount() const { return pairCount_; }
    std::uint32_t Tiles() const { return static_cast<std::uint32_t>(lowSums_.size()); }
    // Whether the neuron at a position is indexed.
    bool Holds(std::uint32_t position) const { return position < slotOf_.size() && slotOf_[position] != kNoSlot; }

    const std::int16_t* Pairs(std::uint32_t tile) const {
        return pairs_.data() + static_cast<std::size_t>(tile) * pairCount_ * kPixelLanes * 2;
    }
    const std::int32_t* Groups(std::uint32_t tile) const {
        return groups_.data() + static_cast<std::size_t>(tile) * kPixelGroups * kPixelLanes;
    }
    std::int32_t LowSum(std::uint32_t tile) const { return lowSums_[tile]; }
    std::int32_t HighSum(std::uint32_t tile) const { return highSums_[tile]; }
    // Bit l set for the lanes of the tile that hold a neuron.
    std::uint32_t Occupied(std::uint32_t tile) const { return occupied_[tile]; }
    // The neuron position in a slot (tile * kPixelLanes + lane), and the
    // slot of a position.
    std::uint32_t PositionAt(std::uint32_t slot) const { return positions_[slot]; }
    std::uint32_t SlotOf(std::uint32_t position) const { return slotOf_[position]; }
    // The first tile whose largest pixel sum is at least `sum` (Tiles() when
    // there is none).
    std::uint32_t TileFrom(std::int32_t sum) const;

private:
    static constexpr std::uint32_t kNoSlot = ~0u;
    std::uint32_t side_ = 0;
    std::uint32_t pairCount_ = 0;
    AlignedVector<std::int16_t> pairs_;
    AlignedVector<std::int32_t> groups_;
    std::vector<std::int32_t> lowSums_;
    std::vector<std::int32_t> highSums_;
    std::vector<std::uint32_t> occupied_;
    std::vector<std::uint32_t> positions_;
    std::vector<std::uint32_t> slotOf_;
};

}  // namespace pictora
