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
    // The least error of block b among the neurons left but its first.
    const auto findSecond = [&](BlockPixels& pixels, std::uint32_t b) {
        pixels.Gather(*source_, b / blocksPerRow * side, b % blocksPerRow * side);
        const NeuronExclusion exclusion{removed.data(), first[b]};
        const BestError best = plain ? ScanLeastError(neurons_, count, pixels.Bytes(), exclusion)
                                     : FindLeastError(pixelIndex_, pixels, -1, exclusion);
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

    std::vector<std::int64_t> added(count, 0);
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
    std::vector<std::uint32_t> touched;
    BlockPixels& pixels = scratch[0];
    while (left > 1 && !queue.empty()) {
        const Candidate top = queue.top();
        queue.pop();
        if (removed[top.position] != 0 || top.added != added[top.position]) continue;  // stale
        const double saved = 8.0 * dimension_ + static_cast<double>(entries * (BitLength(left) - BitLength(left - 1)));
        if (!(static_cast<double>(top.added) < lambda * saved)) break;
        const std::uint32_t k = top.position;
        removed[k] = 1;
        if (--left == 1) {
            // The last neuron left takes every block; nothing else can go.
            for (std::uint32_t b : firstOf[k])
                if (first[b] == k) first[b] = second[b];
            break;
        }
        touched.clear();
        for (std::uint32_t b : firstOf[k]) {
            if (first[b] != k) continue;
            first[b] = second[b];
            firstError[b] = secondError[b];
            findSecond(pixels, b);
            added[first[b]] += secondError[b] - firstError[b];
            firstOf[first[b]].push_back(b);
            secondOf[second[b]].push_back(b);
            touched.push_back(first[b]);
        }
        for (std::uint32_t b : secondOf[k]) {
            if (second[b] != k || first[b] == k) continue;
            const std::int64_t before = secondError[b];
            findSecond(pixels, b);
            added[first[b]] += secondError[b] - before;
            secondOf[second[b]].push_back(b);
            touched.push_back(first[b]);
        }
        firstOf[k] = {};
        secondOf[k] = {};
        std::sort(touched.begin(), touched.end());
        touched.erase(std::unique(touched.begin(), touched.end()), touched.end());
        for (std::uint32_t j : touched) queue.push({added[j], j});
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
