#include "quantizer/ExhaustiveSearch.h"

#include <vector>

#include "quantizer/BucketScan.h"
#include "support/WorkerPool.h"

namespace pictora {
namespace {

// Below this many neurons a search is over before a helper thread would wake.
constexpr std::uint32_t kNeuronsWorthSplitting = 2048;

}  // namespace

BestNeuron FindExhaustive(const AngleIndex& index, const double* vector, double floor) {
    WorkerPool& pool = WorkerPool::Shared();
    const unsigned parts = index.Size() < kNeuronsWorthSplitting ? 1 : pool.Participants();
    // Part p takes the p-th share of the tiles of every bucket: untamed neurons
    // crowd into one bucket, so whole buckets would not share out evenly.
    std::vector<BestNeuron> partial(parts, BestNeuron(floor));
    pool.Run(parts, [&](unsigned part, unsigned) {
        TileBatch batch(vector, index.Components(), partial[part]);
        for (std::uint32_t b = 0; b < index.BucketCount(); ++b) {
            const AngleIndex::Bucket& bucket = index.At(b);
            const std::uint32_t tiles = bucket.Tiles();
            ScanTiles(bucket, tiles * part / parts, tiles * (part + 1) / parts, batch);
        }
        batch.Flush();
    });
    BestNeuron best(floor);
    for (const BestNeuron& winner : partial) best.Merge(winner);
    return best;
}

}  // namespace pictora
