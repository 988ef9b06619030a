#include "quantizer/PixelIndex.h"

#include <algorithm>
#include <utility>

#include "quantizer/BlockPixels.h"
#include "quantizer/BlockVector.h"

namespace pictora {

void PixelIndex::Build(const NeuronList& neurons, std::uint32_t count, const std::uint8_t* leftOut) {
    side_ = BlockSide(neurons.Dimension());
    BlockPixels pixels;
    pixels.Resize(side_);
    pairCount_ = pixels.PairCount();

    // Sorted by pixel sum, ties by position, so the layout depends only on the
    // codebook.
    std::vector<std::pair<std::int32_t, std::uint32_t>> order;
    order.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        if (leftOut != nullptr && leftOut[i] != 0) continue;
        pixels.Take(neurons.At(i).pixels.data());
        order.emplace_back(pixels.Sum(), i);
    }
    std::sort(order.begin(), order.end());

    const auto indexed = static_cast<std::uint32_t>(order.size());
    const std::uint32_t tiles = (indexed + kPixelLanes - 1) / kPixelLanes;
    pairs_.assign(static_cast<std::size_t>(tiles) * pairCount_ * kPixelLanes * 2, 0);
    groups_.assign(static_cast<std::size_t>(tiles) * kPixelGroups * kPixelLanes, 0);
    lowSums_.assign(tiles, 0);
    highSums_.assign(tiles, 0);
    occupied_.assign(tiles, 0);
    positions_.assign(static_cast<std::size_t>(tiles) * kPixelLanes, ~0u);
    slotOf_.assign(count, kNoSlot);
    for (std::uint32_t slot = 0; slot < indexed; ++slot) {
        const std::uint32_t position = order[slot].second;
        const std::uint32_t tile = slot / kPixelLanes;
        const std::uint32_t lane = slot % kPixelLanes;
        pixels.Take(neurons.At(position).pixels.data());
        std::int16_t* pairs = pairs_.data() + static_cast<std::size_t>(tile) * pairCount_ * kPixelLanes * 2;
        for (std::uint32_t j = 0; j < pairCount_; ++j) {
            pairs[(j * kPixelLanes + lane) * 2] = static_cast<std::int16_t>(pixels.Pairs()[j] & 0xFFFF);
            pairs[(j * kPixelLanes + lane) * 2 + 1] = static_cast<std::int16_t>(pixels.Pairs()[j] >> 16);
        }
        std::int32_t* groups = groups_.data() + static_cast<std::size_t>(tile) * kPixelGroups * kPixelLanes;
        for (std::uint32_t g = 0; g < kPixelGroups; ++g) groups[g * kPixelLanes + lane] = pixels.Groups()[g];
        if (lane == 0) lowSums_[tile] = pixels.Sum();
        highSums_[tile] = pixels.Sum();
        occupied_[tile] |= 1u << lane;
        positions_[slot] = position;
        slotOf_[position] = slot;
    }
}

void PixelIndex::Release() { *this = PixelIndex(); }

std::uint32_t PixelIndex::TileFrom(std::int32_t sum) const {
    return static_cast<std::uint32_t>(std::lower_bound(highSums_.begin(), highSums_.end(), sum) - highSums_.begin());
}

}  // namespace pictora
