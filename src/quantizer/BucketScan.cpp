#include "quantizer/BucketScan.h"

#include <algorithm>

#include "quantizer/TileKernels.h"

namespace pictora {
namespace {

constexpr std::uint32_t kLanes = AngleIndex::kLanes;
// Tiles whose bounds are computed per kernel call.
constexpr std::uint32_t kBoundGroup = 32;
static_assert(kBoundGroup % AngleIndex::kTileBoundRun == 0);

}  // namespace

void TileBatch::Add(const AngleIndex::Bucket& bucket, std::uint32_t tile) {
    buckets_[count_] = &bucket;
    tiles_[count_] = tile;
    if (++count_ == kSize) Flush();
}

void TileBatch::Flush() {
    std::array<const double*, kSize> weights{};
    alignas(64) std::array<double, kSize * kLanes> similarities;
    const std::size_t tileSize = static_cast<std::size_t>(components_) * kLanes;
    for (std::uint32_t i = 0; i < count_; ++i) weights[i] = buckets_[i]->weights.data() + tiles_[i] * tileSize;
    TileSimilarities(weights.data(), count_, components_, vector_, similarities.data());
    for (std::uint32_t i = 0; i < count_; ++i) {
        const AngleIndex::Bucket& bucket = *buckets_[i];
        const std::uint32_t first = tiles_[i] * kLanes;
        const std::uint32_t lanes = std::min(kLanes, bucket.count - first);
        for (std::uint32_t l = 0; l < lanes; ++l) {
            best_.Offer(similarities[i * kLanes + l], bucket.positions[first + l]);
        }
    }
    count_ = 0;
}

ScannedBlock PrepareScan(const VectorSketch& block, double normBound, double margin) {
    constexpr double kSinglePrecisionSlack = 4e-6;
    ScannedBlock scanned;
    for (std::uint32_t k = 0; k < VectorSketch::kTerms; ++k) scanned.terms[k] = static_cast<float>(block.terms[k]);
    scanned.radial = block.radial;
    scanned.rest = block.rest;
    scanned.allowance = margin + kSinglePrecisionSlack * normBound * (block.radial + block.rest);
    return scanned;
}

// A tile is first bounded as a whole: by Cauchy-Schwarz outside the
// brightness plane, and inside it by the cosine of the least angle between
// the block's brightness part and the bucket's, no lane's similarity exceeds
//     largest radial * radial(v) * cosine + largest rest * rest(v),
// two products against the ten of its lanes' bounds.
void ScanBucket(const AngleIndex::Bucket& bucket, const ScannedBlock& block, double cosine, TileBatch& batch,
                std::uint32_t skippedTile) {
    const std::uint32_t tiles = bucket.Tiles();
    const auto radial = static_cast<float>(block.radial * cosine);
    const auto rest = static_cast<float>(block.rest);
    std::array<std::uint32_t, kBoundGroup> listed;
    std::array<std::uint8_t, kBoundGroup> passing;
    for (std::uint32_t first = 0; first < tiles; first += kBoundGroup) {
        const std::uint32_t end = std::min(tiles, first + kBoundGroup);
        const auto target = static_cast<float>(batch.Best().value - block.allowance);
        const std::uint32_t count = ListTilesWithinReach(bucket.tileRadial.data(), bucket.tileRest.data(), first, end,
                                                         radial, rest, target, listed.data());
        if (count == 0) continue;
        ListedTilesReaching(bucket.terms.data(), listed.data(), count, block.terms.data(), target, passing.data());
        for (std::uint32_t k = 0; k < count; ++k)
            if (passing[k] != 0 && listed[k] != skippedTile) batch.Add(bucket, listed[k]);
    }
}

void ScanTiles(const AngleIndex::Bucket& bucket, std::uint32_t first, std::uint32_t end, TileBatch& batch) {
    for (std::uint32_t t = first; t < end; ++t) batch.Add(bucket, t);
}

}  // namespace pictora
