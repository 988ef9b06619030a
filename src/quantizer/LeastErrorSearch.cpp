#include "quantizer/LeastErrorSearch.h"

#include <algorithm>
#include <bit>

namespace pictora {
namespace {

class TileVisitor {
public:
    TileVisitor(const PixelIndex& index, const BlockPixels& block, NeuronExclusion exclusion)
        : index_(index), block_(block), exclusion_(exclusion), groupSize_(GroupSize(index.Side())) {}

    void Visit(std::uint32_t tile) {
        const std::int64_t limit = best_.error / groupSize_ < kMostLimit ? groupSize_ * best_.error : kMostLimit;
        std::uint32_t lanes = index_.Occupied(tile) &
                              TileBoundsWithin(index_.Groups(tile), block_.Groups().data(), static_cast<std::int32_t>(limit));
        if (lanes == 0) return;
        TileErrors(index_.Pairs(tile), index_.PairCount(), block_.Pairs(), errors_);
        for (; lanes != 0; lanes &= lanes - 1) {
            const std::uint32_t lane = static_cast<std::uint32_t>(std::countr_zero(lanes));
            const std::uint32_t position = index_.PositionAt(tile * kPixelLanes + lane);
            if (!exclusion_.Excludes(position)) best_.Offer(errors_[lane], position);
        }
    }
    const BestError& Best() const { return best_; }

private:
    static constexpr std::int64_t kMostLimit = 0x7FFFFFFF;
    const PixelIndex& index_;
    const BlockPixels& block_;
    NeuronExclusion exclusion_;
    std::int64_t groupSize_;
    BestError best_;
    alignas(64) std::int32_t errors_[kPixelLanes];
};

}  // namespace

BestError ScanLeastError(const NeuronList& neurons, std::uint32_t count, const std::uint8_t* block,
                         NeuronExclusion exclusion) {
    const std::uint32_t dimension = neurons.Dimension();
    BestError best;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (exclusion.Excludes(i)) continue;
        const std::uint8_t* pixels = neurons.At(i).pixels.data();
        std::int64_t error = 0;
        for (std::uint32_t k = 0; k < dimension; ++k) {
            const std::int64_t difference = static_cast<std::int64_t>(pixels[k]) - block[k];
            error += difference * difference;
        }
        if (error <= best.error) {
            best.error = error;
            best.position = i;
        }
    }
    return best;
}

BestError FindLeastError(const PixelIndex& index, const BlockPixels& block, std::int64_t hint,
                         NeuronExclusion exclusion) {
    TileVisitor visitor(index, block, exclusion);
    const std::int64_t tiles = index.Tiles();
    std::int64_t hinted = -1;
    if (hint >= 0 && index.Holds(static_cast<std::uint32_t>(hint))) {
        hinted = index.SlotOf(static_cast<std::uint32_t>(hint)) / kPixelLanes;
        visitor.Visit(static_cast<std::uint32_t>(hinted));
    }
    const std::int64_t dimension = static_cast<std::int64_t>(block.Dimension());
    const std::int64_t sum = block.Sum();
    // Each direction's sum gaps only grow: once one is too far, so is every
    // tile beyond it.
    std::int64_t up = index.TileFrom(block.Sum());
    std::int64_t down = up - 1;
    while (up < tiles || down >= 0) {
        const std::int64_t upGap = up < tiles ? std::max<std::int64_t>(0, index.LowSum(up) - sum) : -1;
        const std::int64_t downGap = down >= 0 ? std::max<std::int64_t>(0, sum - index.HighSum(down)) : -1;
        const bool goUp = upGap >= 0 && (downGap < 0 || upGap <= downGap);
        const std::int64_t gap = goUp ? upGap : downGap;
        std::int64_t& next = goUp ? up : down;
        const BestError& best = visitor.Best();
        if (best.position >= 0 && gap * gap > dimension * best.error) {
            next = goUp ? tiles : -1;
            continue;
        }
        if (next != hinted) visitor.Visit(static_cast<std::uint32_t>(next));
        next += goUp ? 1 : -1;
    }
    return visitor.Best();
}

}  // namespace pictora
