#include "quantizer/PrunedSearch.h"

#include <algorithm>

#include "quantizer/BucketScan.h"

namespace pictora {
namespace {

constexpr double kRelativeMargin = 1e-10;

// Whether every neuron beyond the start of bucket `edge` (on the far side from
// the block) is bounded below `target`. The cosine of the angle between the
// edge and the block comes from the edge's cosine and sine and the block's
// own (augmentation and mean over radial); both sides of the comparison are
// squared, which is the same test for a positive target, and no neuron can be
// ruled out against a target that is not positive.
class EdgeBound {
public:
    EdgeBound(const AngleIndex& index, const VectorSketch& block)
        : index_(index), cos_(block.terms[0] / block.radial), sin_(block.terms[1] / block.radial),
          radialSquared_(block.radial * block.radial), restSquared_(block.rest * block.rest),
          normSquared_(index.NormBound() * index.NormBound()) {}

    // The cosine of the angle from the block to the edge, or 0 past a right
    // angle: no neuron beyond the edge has a brightness part more aligned.
    double Cosine(std::int64_t edge) const {
        return std::max(index_.EdgeCosine(edge) * cos_ + index_.EdgeSine(edge) * sin_, 0.0);
    }
    bool Below(double cosine, double target) const {
        return target > 0.0 && normSquared_ * (radialSquared_ * cosine * cosine + restSquared_) < target * target;
    }

private:
    const AngleIndex& index_;
    double cos_;
    double sin_;
    double radialSquared_;
    double restSquared_;
    double normSquared_;
};

}  // namespace

BestNeuron FindPruned(const AngleIndex& index, const VectorSketch& block, const double* vector, double floor,
                      std::int64_t hint) {
    constexpr std::uint32_t kNoTile = ~0u;
    BestNeuron best(floor);
    TileBatch batch(vector, index.Components(), best);
    const double margin = kRelativeMargin * index.NormBound();
    AngleIndex::Location hinted{0, kNoTile};
    if (hint >= 0) {
        hinted = index.Where(static_cast<std::uint32_t>(hint));
        hinted.slot /= AngleIndex::kLanes;
        batch.Add(index.At(hinted.bucket), hinted.slot);
        batch.Flush();
    }
    const auto skipped = [&](std::uint32_t bucket) { return bucket == hinted.bucket ? hinted.slot : kNoTile; };
    const ScannedBlock scanned = PrepareScan(block, index.NormBound(), margin);
    const std::uint32_t own = index.BucketOf(block.terms[0], block.terms[1]);
    // The block's own bucket first and at once: its winner sets a high target.
    ScanBucket(index.At(own), scanned, 1.0, batch, skipped(own));
    batch.Flush();

    // Each side covers at most half a turn, so that its bounds keep falling;
    // together they visit every bucket once. Empty buckets are skipped, and of
    // the two sides the nearer bucket goes first. The nearest edge of bucket
    // own + s is its low edge, that of bucket own - s its high edge.
    const EdgeBound bound(index, block);
    const std::int64_t buckets = index.BucketCount();
    const std::int64_t rightLimit = buckets / 2;
    const std::int64_t leftLimit = buckets / 2 - 1;
    std::int64_t right = index.NextOccupied(own, 1, +1, rightLimit);
    std::int64_t left = index.NextOccupied(own, 1, -1, leftLimit);
    while (right <= rightLimit || left <= leftLimit) {
        const bool goRight = right <= rightLimit && (left > leftLimit || right <= left);
        std::int64_t& step = goRight ? right : left;
        const std::int64_t limit = goRight ? rightLimit : leftLimit;
        const std::int64_t bucket = own + (goRight ? step : -step);
        const double cosine = bound.Cosine(goRight ? bucket : bucket + 1);
        if (bound.Below(cosine, best.value - margin)) {
            step = limit + 1;  // every bucket farther out on this side is bounded lower still
            continue;
        }
        const auto at = static_cast<std::uint32_t>((bucket + buckets) % buckets);
        ScanBucket(index.At(at), scanned, cosine, batch, skipped(at));
        step = index.NextOccupied(own, step + 1, goRight ? +1 : -1, limit);
    }
    batch.Flush();
    return best;
}

}  // namespace pictora
