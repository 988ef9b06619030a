// Rate-aware pruning of KohonenNetwork.
//
// The cost of a channel is J = E + lambda * B: E the sum of squared errors of
// its full blocks, B its bits as the coded image counts them, 8 d K codebook
// bits and BitLength(K) bits per block entry (CodedSize). Removing a neuron k
// saves 8 d + entries * (BitLength(K) - BitLength(K - 1)) bits, the same for
// every neuron, and adds
//     dE(k) = sum over the blocks k codes of (e2(b) - e1(b)),
// e1 a block's error now, e2 its least error among the other neurons left,
// where its block goes. Greedy rule: take the neuron of least dE (of equal
// ones the later position); remove it when dE < lambda * bits saved, then
// update the blocks it coded and the blocks whose second choice it was; stop
// at the first neuron that would not lower J, or when one neuron is left.
#include <algorithm>
#include <limits>
#include <queue>
#include <vector>

#include "quantizer/KohonenNetwork.h"
#include "quantizer/LeastErrorSearch.h"
#include "support/Truncate.h"
#include "support/WorkerPool.h"

namespace pictora {
namespace {

constexpr std::int64_t kNoSecond = std::numeric_limits<std::int64_t>::max() / 4;

struct Candidate {
    std::int64_t added;
    std::uint32_t position;
    // The queue's top is the least added error, of equal ones the later position.
    bool operator<(const Candidate& other) const {
        return added != other.added ? added > other.added : position < other.position;
    }
};

}  // namespace

void KohonenNetwork::PruneForRate(double lambda) {
    const std::uint32_t side = BlockSide(dimension_);
    if (!(lambda > 0.0) || side == 0 || source_ == nullptr || neurons_.Count() < 2) return;
    const std::uint32_t count = neurons_.Count();
    const std::uint32_t blocksPerRow = columns_ / side;
    const std::uint32_t blockRows = rows_ / side;
    const std::uint32_t blocks = blockRows * blocksPerRow;
    const std::uint64_t entries = pictora::ComputeCodedSize(rows_, columns_, dimension_, count, PlaneScale::Full).blockCount;

    const bool plain = ScansPlainly();
    if (!plain) pixelIndex_.Build(neurons_, count);
    std::vector<std::uint8_t> removed(count, 0);
    std::vector<std::uint32_t> first(codes_.begin(), codes_.begin() + blocks);
    std::vector<std::uint32_t> second(blocks, 0);
    std::vector<std::int64_t> firstError(blocks, 0);
    std::vector<std::int64_t> secondError(blocks, 0);
    // The least error of block b among the neurons left but its first. The
    // neuron of a neighbouring block is a good first guess.
    const auto findSecond = [&](BlockPixels& pixels, std::uint32_t b) {
        pixels.Gather(*source_, b / blocksPerRow * side, b % blocksPerRow * side);
        const NeuronExclusion exclusion{removed.data(), first[b]};
        const std::uint32_t left = b % blocksPerRow > 0 ? first[b - 1] : first[b];
        const std::uint32_t guess = left != first[b] || b < blocksPerRow ? left : first[b - blocksPerRow];
        const BestError best = plain ? ScanLeastError(neurons_, count, pixels.Bytes(), exclusion)
                                     : FindLeastError(pixelIndex_, pixels, guess == first[b] ? -1 : guess, exclusion);
        second[b] = best.position < 0 ? first[b] : static_cast<std::uint32_t>(best.position);
        secondError[b] = best.position < 0 ? kNoSecond : best.error;
    };

    WorkerPool& pool = WorkerPool::Shared();
    const unsigned participants = plain ? 1 : pool.Participants();
    std::vector<BlockPixels> scratch(participants);
    for (BlockPixels& pixels : scratch) pixels.Resize(side);
    const auto firstRow = [&](std::uint32_t row, unsigned participant) {
        BlockPixels& pixels = scratch[participant];
        for (std::uint32_t b = row * blocksPerRow; b < (row + 1) * blocksPerRow; ++b) {
            findSecond(pixels, b);
            const std::uint8_t* neuron = neurons_.At(first[b]).pixels.data();
            std::int64_t error = 0;
            for (std::uint32_t i = 0; i < dimension_; ++i) {
                const std::int64_t difference = static_cast<std::int64_t>(pixels.Bytes()[i]) - neuron[i];
                error += difference * difference;
            }
            firstError[b] = error;
        }
    };
    if (plain) {
        for (std::uint32_t row = 0; row < blockRows; ++row) firstRow(row, 0);
    } else {
        pool.Run(blockRows, [&](unsigned row, unsigned participant) { firstRow(row, participant); });
    }

    // added[k] is dE(k) while none of k's blocks is stale, and never above
    // it otherwise: a stale block's second is unknown, and the error it would
    // add is only known not to be below what is counted for it.
    std::vector<std::int64_t> added(count, 0);
    std::vector<std::uint32_t> staleBlocks(count, 0);
    std::vector<std::uint8_t> stale(blocks, 0);
    std::vector<std::vector<std::uint32_t>> firstOf(count);
    std::vector<std::vector<std::uint32_t>> secondOf(count);
    for (std::uint32_t b = 0; b < blocks; ++b) {
        added[first[b]] += secondError[b] - firstError[b];
        firstOf[first[b]].push_back(b);
        secondOf[second[b]].push_back(b);
    }
    std::priority_queue<Candidate> queue;
    for (std::uint32_t k = 0; k < count; ++k) queue.push({added[k], k});

    std::uint32_t left = count;
    std::uint32_t indexed = count;
    BlockPixels& pixels = scratch[0];
    while (left > 1 && !queue.empty()) {
        const Candidate top = queue.top();
        queue.pop();
        const std::uint32_t k = top.position;
        if (removed[k] != 0 || top.added != added[k]) continue;  // superseded
        if (staleBlocks[k] > 0) {
            // Known exactly only now; back in the queue, it comes out again at
            // once unless another neuron adds less.
            for (std::uint32_t b : firstOf[k]) {
                if (first[b] != k || stale[b] == 0) continue;
                const std::int64_t counted = secondError[b];
                findSecond(pixels, b);
                stale[b] = 0;
                added[k] += secondError[b] - counted;
                secondOf[second[b]].push_back(b);
            }
            staleBlocks[k] = 0;
            queue.push({added[k], k});
            continue;
        }
        const double saved = 8.0 * dimension_ + static_cast<double>(entries * (BitLength(left) - BitLength(left - 1)));
        if (!(static_cast<double>(top.added) < lambda * saved)) break;
        removed[k] = 1;
        --left;
        // Its blocks go to their seconds (searched afresh when stale); what
        // their next choice would add is unknown but not negative.
        for (std::uint32_t b : firstOf[k]) {
            if (first[b] != k) continue;
            if (stale[b] != 0) findSecond(pixels, b);
            first[b] = second[b];
            firstError[b] = secondError[b];
            stale[b] = 1;
            ++staleBlocks[first[b]];
            firstOf[first[b]].push_back(b);
        }
        // Blocks whose second it was: their second is now unknown, and no
        // better than it was.
        for (std::uint32_t b : secondOf[k]) {
            if (second[b] != k || stale[b] != 0 || removed[first[b]] != 0) continue;
            stale[b] = 1;
            ++staleBlocks[first[b]];
        }
        firstOf[k] = {};
        secondOf[k] = {};
        // Searches skip removed neurons; once they are half the index, a
        // smaller index of the neurons left is faster.
        if (!plain && 2 * left <= indexed) {
            pixelIndex_.Build(neurons_, count, removed.data());
            indexed = left;
        }
    }
    pixelIndex_.Release();
    if (left == count) return;

    neurons_.ClearWins();
    for (std::uint32_t k = 0; k < count; ++k) neurons_.At(k).used = removed[k] == 0;
    std::copy(first.begin(), first.end(), codes_.begin());
    const std::vector<std::uint32_t> renumbered = SurvivorPositions();
    neurons_.PruneUnused();
    prunedCount_ += neurons_.Removed();
    for (std::uint32_t b = 0; b < blocks; ++b) codes_[b] = renumbered[codes_[b]];
    CountWins();
}

}  // namespace pictora
