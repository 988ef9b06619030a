#include "quantizer/AngleIndex.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pictora {
namespace {

// The lengths of the brightness part and of the rest of stored terms, term k
// at terms[k * stride].
double RadialOf(const float* terms, std::size_t stride) {
    const double a = terms[0];
    const double b = terms[stride];
    return std::sqrt(a * a + b * b);
}
double RestOf(const float* terms, std::size_t stride) {
    const double a = terms[2 * stride];
    const double b = terms[3 * stride];
    const double c = terms[4 * stride];
    return std::sqrt(a * a + b * b + c * c);
}

// Raises a tile's bounds to the lengths of a lane's stored terms, computed in
// double precision, where the squares of the smallest tame terms do not
// vanish, and rounded to the nearest float. A NaN length leaves them as they
// are: it belongs to an untamed neuron, and no search bounds anything while
// one exists.
void RaiseTileBounds(AngleIndex::Bucket& bucket, std::uint32_t tile, const float* terms) {
    const auto radial = static_cast<float>(RadialOf(terms, 1));
    const auto rest = static_cast<float>(RestOf(terms, 1));
    bucket.tileRadial[tile] = std::max(bucket.tileRadial[tile], radial);
    bucket.tileRest[tile] = std::max(bucket.tileRest[tile], rest);
}

// The terms as stored: rounded to single precision.
std::array<float, VectorSketch::kTerms> StoredTerms(const VectorSketch& sketch) {
    std::array<float, VectorSketch::kTerms> terms;
    for (std::uint32_t k = 0; k < VectorSketch::kTerms; ++k) terms[k] = static_cast<float>(sketch.terms[k]);
    return terms;
}

}  // namespace

AngleIndex::EdgeTable::EdgeTable() {
    for (std::uint32_t b = 0; b < kMostBuckets; ++b) {
        const double angle = -std::numbers::pi + 2.0 * std::numbers::pi * b / kMostBuckets;
        cosines[b] = std::cos(angle);
        sines[b] = std::sin(angle);
    }
}

void AngleIndex::Reset(std::uint32_t components, std::uint32_t buckets) {
    static const EdgeTable edges;
    components_ = components;
    edges_ = &edges;
    edgeStride_ = kMostBuckets / buckets;
    buckets_.assign(buckets, Bucket{});
    occupied_.fill(0);
    slots_.clear();
    untamedMarks_.clear();
    untamed_ = 0;
    normBound_ = 0.0;
}

std::uint32_t AngleIndex::BucketOf(double angle) const {
    const double count = static_cast<double>(buckets_.size());
    const double place = std::floor((angle + std::numbers::pi) / (2.0 * std::numbers::pi) * count);
    return static_cast<std::uint32_t>(std::clamp(place, 0.0, count - 1.0));
}

namespace {

// atan2(y, x) within 3e-4 rad (a twentieth of the finest bucket): a cubic in
// the ratio of the smaller to the larger coordinate, reflected into the right
// octant; 0 for (0, 0).
double RoughAngle(double x, double y) {
    const double ax = std::abs(x);
    const double ay = std::abs(y);
    const double larger = std::max(ax, ay);
    if (larger == 0.0) return 0.0;
    const double ratio = std::min(ax, ay) / larger;
    const double s = ratio * ratio;
    double angle = ((-0.0464964749 * s + 0.15931422) * s - 0.327622764) * s * ratio + ratio;
    if (ay > ax) angle = std::numbers::pi / 2 - angle;
    if (x < 0) angle = std::numbers::pi - angle;
    return y < 0 ? -angle : angle;
}

}  // namespace

// The rough angle names the bucket or one beside it, far quicker than atan2;
// the edges' own cosines and sines settle which, with the same rounding as the
// bounds that use them. A direction of length zero, whose every test is a
// tie, takes the bucket of angle 0, as atan2 gives it.
std::uint32_t AngleIndex::BucketOf(double augmentation, double mean) const {
    const auto startsBefore = [&](std::int64_t bucket) {
        return EdgeCosine(bucket) * mean - EdgeSine(bucket) * augmentation >= 0.0;
    };
    std::int64_t bucket = BucketOf(RoughAngle(augmentation, mean));
    for (int tries = 0; tries < 4; ++tries) {
        if (!startsBefore(bucket)) --bucket;
        else if (startsBefore(bucket + 1)) ++bucket;
        else return static_cast<std::uint32_t>(Wrap(bucket));
    }
    return BucketOf(std::atan2(mean, augmentation));
}

void AngleIndex::Append(const double* weights, const VectorSketch& sketch) {
    slots_.push_back(Location{0, 0});
    untamedMarks_.push_back(0);
    const std::uint32_t position = Size() - 1;
    Track(position, sketch);
    Place(position, weights, sketch);
}

void AngleIndex::Update(std::uint32_t position, const double* weights, const VectorSketch& sketch) {
    const Location where = slots_[position];
    Track(position, sketch);
    if (BucketFor(sketch) == where.bucket) {
        Bucket& bucket = buckets_[where.bucket];
        Write(bucket, where.slot, weights, StoredTerms(sketch).data(), position);
        Changed(bucket);
        return;
    }
    Remove(where);
    Place(position, weights, sketch);
}

void AngleIndex::SortBySlant() {
    for (Bucket& bucket : buckets_) Sort(bucket);
}

// While some neuron is untamed its slant may be NaN, which has no order, and
// the searches look at no bound anyway. A bucket of one tile has no order to
// gain.
void AngleIndex::Changed(Bucket& bucket) {
    if (++bucket.changes >= 2 * bucket.count && bucket.count > kLanes && untamed_ == 0) Sort(bucket);
}

// The bucket is written anew in slant order from a copy of itself, its tile
// bounds from zero. Slant comes from the stored terms.
void AngleIndex::Sort(Bucket& bucket) {
    bucket.changes = 0;
    if (bucket.count == 0) return;
    const std::size_t weightStride = static_cast<std::size_t>(components_) * kLanes;
    const std::size_t termStride = static_cast<std::size_t>(VectorSketch::kTerms) * kLanes;
    struct Entry {
        double slant;
        std::uint32_t slot;
    };
    std::vector<Entry> entries;
    entries.reserve(bucket.count);
    std::vector<double> weights(components_);
    std::array<float, VectorSketch::kTerms> terms;
    unsorted_ = bucket;
    for (std::uint32_t slot = 0; slot < bucket.count; ++slot) {
        const float* t = unsorted_.terms.data() + (slot / kLanes) * termStride + slot % kLanes;
        entries.push_back({std::atan2(RestOf(t, kLanes), RadialOf(t, kLanes)), slot});
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return a.slant < b.slant || (a.slant == b.slant && a.slot < b.slot);
    });
    std::fill(bucket.tileRadial.begin(), bucket.tileRadial.end(), 0.0f);
    std::fill(bucket.tileRest.begin(), bucket.tileRest.end(), 0.0f);
    for (std::uint32_t slot = 0; slot < bucket.count; ++slot) {
        const Entry& entry = entries[slot];
        const double* fromWeights = unsorted_.weights.data() + (entry.slot / kLanes) * weightStride + entry.slot % kLanes;
        const float* fromTerms = unsorted_.terms.data() + (entry.slot / kLanes) * termStride + entry.slot % kLanes;
        for (std::uint32_t k = 0; k < components_; ++k) weights[k] = fromWeights[k * kLanes];
        for (std::uint32_t k = 0; k < VectorSketch::kTerms; ++k) terms[k] = fromTerms[k * kLanes];
        const std::uint32_t position = unsorted_.positions[entry.slot];
        Write(bucket, slot, weights.data(), terms.data(), position);
        slots_[position].slot = slot;
    }
}

// Untamed neurons all go to bucket 0: while one exists the searches ignore the
// buckets' order and scan every tile.
std::uint32_t AngleIndex::BucketFor(const VectorSketch& sketch) const {
    return sketch.tame ? BucketOf(sketch.terms[0], sketch.terms[1]) : 0;
}

void AngleIndex::Track(std::uint32_t position, const VectorSketch& sketch) {
    const std::uint8_t untamed = sketch.tame ? 0 : 1;
    untamed_ = untamed_ - untamedMarks_[position] + untamed;
    untamedMarks_[position] = untamed;
    if (sketch.tame) normBound_ = std::max(normBound_, sketch.norm);
}

void AngleIndex::Place(std::uint32_t position, const double* weights, const VectorSketch& sketch) {
    const std::uint32_t bucket = BucketFor(sketch);
    Bucket& target = buckets_[bucket];
    const std::uint32_t slot = target.count++;
    occupied_[bucket / 64] |= std::uint64_t{1} << (bucket % 64);
    slots_[position] = Location{bucket, slot};
    Write(target, slot, weights, StoredTerms(sketch).data(), position);
    Changed(target);
}

void AngleIndex::Write(Bucket& bucket, std::uint32_t slot, const double* weights, const float* terms,
                       std::uint32_t position) {
    const std::uint32_t tile = slot / kLanes;
    const std::uint32_t lane = slot % kLanes;
    if (bucket.positions.size() <= slot) {
        bucket.weights.resize(bucket.weights.size() + static_cast<std::size_t>(components_) * kLanes, 0.0);
        bucket.terms.resize(bucket.terms.size() + VectorSketch::kTerms * kLanes, 0.0f);
        bucket.positions.resize(bucket.positions.size() + kLanes, 0);
        if (bucket.tileRadial.size() <= tile) {
            bucket.tileRadial.resize(bucket.tileRadial.size() + kTileBoundRun, 0.0f);
            bucket.tileRest.resize(bucket.tileRest.size() + kTileBoundRun, 0.0f);
        }
    }
    double* tileWeights = bucket.weights.data() + static_cast<std::size_t>(tile) * components_ * kLanes;
    for (std::uint32_t k = 0; k < components_; ++k) tileWeights[k * kLanes + lane] = weights[k];
    float* tileTerms = bucket.terms.data() + static_cast<std::size_t>(tile) * VectorSketch::kTerms * kLanes;
    for (std::uint32_t k = 0; k < VectorSketch::kTerms; ++k) tileTerms[k * kLanes + lane] = terms[k];
    bucket.positions[slot] = position;
    RaiseTileBounds(bucket, tile, terms);
}

// Moves the bucket's last neuron into the hole and clears the lane it leaves,
// so the bucket stays packed and its spare lanes stay zero.
void AngleIndex::Remove(const Location& where) {
    Bucket& bucket = buckets_[where.bucket];
    const std::uint32_t last = --bucket.count;
    const std::size_t weightStride = static_cast<std::size_t>(components_) * kLanes;
    const std::size_t termStride = static_cast<std::size_t>(VectorSketch::kTerms) * kLanes;
    double* lastWeights = bucket.weights.data() + (last / kLanes) * weightStride + last % kLanes;
    float* lastTerms = bucket.terms.data() + (last / kLanes) * termStride + last % kLanes;
    if (where.slot != last) {
        double* holeWeights = bucket.weights.data() + (where.slot / kLanes) * weightStride + where.slot % kLanes;
        float* holeTerms = bucket.terms.data() + (where.slot / kLanes) * termStride + where.slot % kLanes;
        for (std::uint32_t k = 0; k < components_; ++k) holeWeights[k * kLanes] = lastWeights[k * kLanes];
        std::array<float, VectorSketch::kTerms> terms;
        for (std::uint32_t k = 0; k < VectorSketch::kTerms; ++k) terms[k] = holeTerms[k * kLanes] = lastTerms[k * kLanes];
        RaiseTileBounds(bucket, where.slot / kLanes, terms.data());
        const std::uint32_t moved = bucket.positions[last];
        bucket.positions[where.slot] = moved;
        slots_[moved].slot = where.slot;
    }
    for (std::uint32_t k = 0; k < components_; ++k) lastWeights[k * kLanes] = 0.0;
    for (std::uint32_t k = 0; k < VectorSketch::kTerms; ++k) lastTerms[k * kLanes] = 0.0f;
    if (last == 0) occupied_[where.bucket / 64] &= ~(std::uint64_t{1} << (where.bucket % 64));
    Changed(bucket);
}

}  // namespace pictora
