#pragma once

#include <cstdint>
#include <limits>

#include "quantizer/BlockPixels.h"
#include "quantizer/NeuronList.h"
#include "quantizer/PixelIndex.h"

namespace pictora {

// The neuron of least squared error for a block, kept as the least (error,
// later position) pair offered so far: ties go to the later neuron, as in the
// ordered scan, whatever order the offers come in.
struct BestError {
    std::int64_t error = std::numeric_limits<std::int64_t>::max();
    std::int64_t position = -1;  // -1 while nothing has been offered

    void Offer(std::int64_t candidate, std::uint32_t at) {
        if (candidate < error || (candidate == error && static_cast<std::int64_t>(at) > position)) {
            error = candidate;
            position = at;
        }
    }
};

// Neurons a search must pass over: those marked in `removed` (by position,
// none when null) and the one at `skipped` (none when -1).
struct NeuronExclusion {
    const std::uint8_t* removed = nullptr;
    std::int64_t skipped = -1;

    bool Excludes(std::uint32_t position) const {
        return static_cast<std::int64_t>(position) == skipped || (removed != nullptr && removed[position] != 0);
    }
};

// The plain scan, the definition the search is held to: neurons 0 .. count-1
// in order, the sum of squared differences of each one's d pixels and the
// block's, the last one whose sum is at most the least so far.
BestError ScanLeastError(const NeuronList& neurons, std::uint32_t count, const std::uint8_t* block,
                         NeuronExclusion exclusion = {});

// The same neuron found through the index. Tiles are visited outward from the
// block's own pixel sum, nearer sums first; a direction ends once its next
// tile's sums are so far from the block's that d * best < (sum gap)^2, and
// inside a tile the errors are computed only when some lane's group bound
// h^2 * best >= sum of squared group gaps holds (BlockPixels). Both tests
// compare exact integers and rule out only neurons whose error is larger
// than the best so far, so the result is the plain scan's. A `hint` (a
// position, or -1) names a neuron likely to win, whose tile goes first.
BestError FindLeastError(const PixelIndex& index, const BlockPixels& block, std::int64_t hint,
                         NeuronExclusion exclusion = {});

}  // namespace pictora
