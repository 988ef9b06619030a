#include "quantizer/AngleIndex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <numbers>
#include <random>
#include <vector>

namespace pictora {
namespace {

constexpr std::uint32_t kLanes = AngleIndex::kLanes;
constexpr std::uint32_t kComponents = 5;

VectorSketch SketchAt(double angle, double norm) {
    VectorSketch sketch;
    sketch.norm = norm;
    sketch.tame = std::isfinite(norm);
    sketch.terms = {std::cos(angle), std::sin(angle), 0.5, -0.5, norm};
    return sketch;
}

// A sketch's terms as the index stores them, and their lengths computed from
// those as it does.
double Stored(const VectorSketch& s, std::uint32_t k) { return static_cast<float>(s.terms[k]); }
double RadialOf(const VectorSketch& s) { return std::sqrt(Stored(s, 0) * Stored(s, 0) + Stored(s, 1) * Stored(s, 1)); }
double RestOf(const VectorSketch& s) {
    return std::sqrt(Stored(s, 2) * Stored(s, 2) + Stored(s, 3) * Stored(s, 3) + Stored(s, 4) * Stored(s, 4));
}

// Every position is stored exactly once, with its latest weights and terms,
// in the bucket of its angle (untamed ones in bucket 0); buckets are packed,
// their spare lanes zero, exactly the non-empty ones are marked occupied, and
// every tame neuron's lengths are within its tile's bounds.
void ExpectHolds(const AngleIndex& index, const std::vector<std::vector<double>>& weights,
                 const std::vector<VectorSketch>& sketches) {
    std::vector<int> seen(weights.size(), 0);
    std::uint32_t untamed = 0;
    for (const VectorSketch& sketch : sketches) untamed += sketch.tame ? 0 : 1;
    EXPECT_EQ(index.UntamedCount(), untamed);
    const std::uint32_t buckets = index.BucketCount();
    for (std::uint32_t b = 0; b < buckets; ++b) {
        const AngleIndex::Bucket& bucket = index.At(b);
        EXPECT_EQ(index.NextOccupied((b + buckets - 1) % buckets, 1, +1, 1) == 1, bucket.count > 0) << b;
        for (std::uint32_t slot = 0; slot < bucket.Tiles() * kLanes; ++slot) {
            const std::uint32_t tile = slot / kLanes;
            const std::uint32_t lane = slot % kLanes;
            const std::uint32_t position = slot < bucket.count ? bucket.positions[slot] : 0;
            for (std::uint32_t k = 0; k < kComponents; ++k) {
                const double stored = bucket.weights[(tile * kComponents + k) * kLanes + lane];
                ASSERT_EQ(stored, slot < bucket.count ? weights[position][k] : 0.0) << "bucket " << b << ", " << slot;
            }
            if (slot >= bucket.count) continue;
            ++seen[position];
            EXPECT_EQ(b, sketches[position].tame ? index.BucketOf(sketches[position].terms[0], sketches[position].terms[1]) : 0u);
            EXPECT_EQ(index.Where(position).bucket, b);
            EXPECT_EQ(index.Where(position).slot, slot);
            if (sketches[position].tame) {
                EXPECT_GE(bucket.tileRadial[tile], static_cast<float>(RadialOf(sketches[position]))) << b << ", " << slot;
                EXPECT_GE(bucket.tileRest[tile], static_cast<float>(RestOf(sketches[position]))) << b << ", " << slot;
            }
            for (std::uint32_t k = 0; k < VectorSketch::kTerms; ++k) {
                EXPECT_EQ(std::bit_cast<std::uint32_t>(bucket.terms[(tile * VectorSketch::kTerms + k) * kLanes + lane]),
                          std::bit_cast<std::uint32_t>(static_cast<float>(Stored(sketches[position], k))));
            }
        }
    }
    for (std::size_t i = 0; i < seen.size(); ++i) EXPECT_EQ(seen[i], 1) << "position " << i;
}

TEST(AngleIndexTest, AppendsAndMovesKeepEveryNeuronInItsBucket) {
    std::mt19937 random(11);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (std::uint32_t buckets : {AngleIndex::kFewestBuckets, AngleIndex::kMostBuckets}) {
        AngleIndex index;
        index.Reset(kComponents, buckets);
        std::vector<std::vector<double>> weights;
        std::vector<VectorSketch> sketches;
        for (int step = 0; step < 3000; ++step) {
            // Angles crowd into a few buckets that drift, so buckets fill
            // several tiles, neurons leave holes inside tiles and buckets empty.
            const double angle = -2.0 + static_cast<double>(random() % 4 + step / 500) * 0.3 + 1e-4 * unit(random);
            const double norm = step % 97 == 0 ? std::numeric_limits<double>::quiet_NaN() : 0.5 + unit(random);
            std::vector<double> w(kComponents);
            for (double& x : w) x = unit(random);
            if (weights.size() < 40 || step % 3 == 0) {
                index.Append(w.data(), SketchAt(angle, norm));
                weights.push_back(w);
                sketches.push_back(SketchAt(angle, norm));
            } else {
                const auto position = static_cast<std::uint32_t>(random() % weights.size());
                index.Update(position, w.data(), SketchAt(angle, norm));
                weights[position] = w;
                sketches[position] = SketchAt(angle, norm);
            }
        }
        ExpectHolds(index, weights, sketches);
        // All to one place: every other bucket empties.
        for (std::uint32_t position = 0; position < weights.size(); ++position) {
            sketches[position] = SketchAt(1.0, 1.0);
            index.Update(position, weights[position].data(), sketches[position]);
        }
        ExpectHolds(index, weights, sketches);
        double largest = 0.0;
        for (const VectorSketch& sketch : sketches) largest = sketch.tame ? std::max(largest, sketch.norm) : largest;
        EXPECT_GE(index.NormBound(), largest);
    }
}

// Sorting keeps every neuron where Where says, orders each bucket by slant
// and bounds every lane's radial and rest by its tile's, tightly; changes
// keep the bounds.
TEST(AngleIndexTest, SortingOrdersBucketsBySlantAndBoundsTheirTiles) {
    std::mt19937 random(5);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    AngleIndex index;
    index.Reset(kComponents, AngleIndex::kFewestBuckets);
    std::vector<std::vector<double>> weights;
    std::vector<VectorSketch> sketches;
    for (int n = 0; n < 500; ++n) {
        VectorSketch sketch = SketchAt(0.3 * static_cast<double>(n % 3), 1.0);
        sketch.terms[2] = unit(random);
        sketch.terms[4] = 2.0 * unit(random);
        std::vector<double> w(kComponents);
        for (double& x : w) x = unit(random);
        index.Append(w.data(), sketch);
        weights.push_back(w);
        sketches.push_back(sketch);
    }
    index.SortBySlant();
    ExpectHolds(index, weights, sketches);
    std::uint32_t sortedBuckets = 0;
    for (std::uint32_t b = 0; b < index.BucketCount(); ++b) {
        const AngleIndex::Bucket& bucket = index.At(b);
        if (bucket.count == 0) continue;
        ++sortedBuckets;
        ASSERT_GE(bucket.tileRadial.size(), bucket.Tiles());
        double lastSlant = -1.0;
        std::vector<float> largestRadial(bucket.Tiles(), 0.0f);
        std::vector<float> largestRest(bucket.Tiles(), 0.0f);
        for (std::uint32_t slot = 0; slot < bucket.count; ++slot) {
            const VectorSketch& sketch = sketches[bucket.positions[slot]];
            const double slant = std::atan2(RestOf(sketch), RadialOf(sketch));
            EXPECT_GE(slant, lastSlant) << b << ", " << slot;
            lastSlant = slant;
            largestRadial[slot / kLanes] = std::max(largestRadial[slot / kLanes], static_cast<float>(RadialOf(sketch)));
            largestRest[slot / kLanes] = std::max(largestRest[slot / kLanes], static_cast<float>(RestOf(sketch)));
        }
        for (std::uint32_t t = 0; t < bucket.Tiles(); ++t) {
            EXPECT_EQ(bucket.tileRadial[t], largestRadial[t]) << b << ", tile " << t;
            EXPECT_EQ(bucket.tileRest[t], largestRest[t]) << b << ", tile " << t;
        }
    }
    EXPECT_EQ(sortedBuckets, 3u);
    // Larger lengths, moves to another bucket and back, new neurons.
    sketches[7].terms[4] = 5.0;
    index.Update(7, weights[7].data(), sketches[7]);
    sketches[8] = SketchAt(2.0, 1.0);
    index.Update(8, weights[8].data(), sketches[8]);
    sketches[8] = SketchAt(0.3, 1.0);
    sketches[8].terms[0] = 3.0;
    index.Update(8, weights[8].data(), sketches[8]);
    index.Append(weights[9].data(), sketches[9]);
    weights.push_back(weights[9]);
    sketches.push_back(sketches[9]);
    ExpectHolds(index, weights, sketches);
}

TEST(AngleIndexTest, BucketsSplitTheCircleEvenly) {
    AngleIndex index;
    for (std::uint32_t buckets = AngleIndex::kFewestBuckets; buckets <= AngleIndex::kMostBuckets; buckets *= 2) {
        index.Reset(kComponents, buckets);
        ASSERT_EQ(index.BucketCount(), buckets);
        EXPECT_EQ(index.BucketOf(-std::numbers::pi), 0u);
        EXPECT_EQ(index.BucketOf(std::numbers::pi), buckets - 1);
        const double width = 2.0 * std::numbers::pi / buckets;
        for (std::int64_t b = -3; b < static_cast<std::int64_t>(buckets) + 3; ++b) {
            const double edge = -std::numbers::pi + static_cast<double>(b) * width;
            EXPECT_NEAR(index.EdgeCosine(b), std::cos(edge), 1e-15);
            EXPECT_NEAR(index.EdgeSine(b), std::sin(edge), 1e-15);
            if (b >= 0 && b < static_cast<std::int64_t>(buckets)) {
                EXPECT_EQ(index.BucketOf(edge + width / 2), static_cast<std::uint32_t>(b));
            }
        }
    }
}

// A direction's bucket is the one whose edges enclose it by the edges' own
// cosines and sines (the tests the searches' bounds rest on): in every
// quadrant, at lengths from 1e-30 to 1e30, next to edges and exactly on
// them. Away from the edges it is the bucket of its atan2 angle, and a
// direction of length zero takes the bucket of angle 0.
TEST(AngleIndexTest, ADirectionsBucketIsTheOneItsEdgesEnclose) {
    AngleIndex index;
    std::mt19937_64 random(17);
    for (std::uint32_t buckets = AngleIndex::kFewestBuckets; buckets <= AngleIndex::kMostBuckets; buckets *= 2) {
        index.Reset(kComponents, buckets);
        const double width = 2.0 * std::numbers::pi / buckets;
        EXPECT_EQ(index.BucketOf(0.0, 0.0), index.BucketOf(0.0));
        for (int round = 0; round < 4000; ++round) {
            double angle = std::uniform_real_distribution<double>(-std::numbers::pi, std::numbers::pi)(random);
            if (round % 4 == 0) {  // on an edge, or within a few units in the last place of one
                const double edge = -std::numbers::pi + static_cast<double>(random() % buckets) * width;
                angle = edge + static_cast<double>(static_cast<int>(random() % 7) - 3) * 1e-16;
            }
            const double length = std::pow(10.0, static_cast<double>(static_cast<int>(random() % 61) - 30));
            const double augmentation = length * std::cos(angle);
            const double mean = length * std::sin(angle);
            const std::uint32_t b = index.BucketOf(augmentation, mean);
            ASSERT_LT(b, buckets);
            EXPECT_GE(index.EdgeCosine(b) * mean - index.EdgeSine(b) * augmentation, 0.0) << angle;
            EXPECT_LT(index.EdgeCosine(b + 1) * mean - index.EdgeSine(b + 1) * augmentation, 0.0) << angle;
            const double place = (angle + std::numbers::pi) / width;
            if (std::abs(place - std::round(place)) > 1e-6) {
                EXPECT_EQ(b, index.BucketOf(angle)) << angle;
            }
        }
    }
}

}  // namespace
}  // namespace pictora
