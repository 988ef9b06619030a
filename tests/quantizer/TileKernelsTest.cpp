#include "quantizer/TileKernels.h"

#include <gtest/gtest.h>
#include <hwy/targets.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "common/HighwayTargets.h"
#include "quantizer/AlignedVector.h"
#include "quantizer/AngleIndex.h"
#include "quantizer/Neuron.h"
#include "quantizer/VectorSketch.h"

namespace pictora {
namespace {

constexpr std::uint32_t kLanes = AngleIndex::kLanes;
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr float kFloatInf = std::numeric_limits<float>::infinity();
constexpr float kFloatNaN = std::numeric_limits<float>::quiet_NaN();

using testing::ForEachTarget;

// Values of very different sizes and signs, and now and then an infinity or
// a NaN: their sums depend on the order of the additions and on whether a
// product is rounded before it is added.
double Awkward(std::mt19937_64& random) {
    const double special[] = {kInf, -kInf, kNaN, -0.0};
    if (random() % 200 == 0) return special[random() % 4];
    const double mantissa = std::uniform_real_distribution<double>(-1.0, 1.0)(random);
    return std::ldexp(mantissa, static_cast<int>(random() % 61) - 30);
}

TEST(TileKernelsTest, SimilaritiesAreThePlainLoopBitForBitOnEveryTarget) {
    std::mt19937_64 random(7);
    ForEachTarget([&] {
        for (std::uint32_t components : {2u, 17u, 65u, 145u}) {
            for (std::uint32_t count : {1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u}) {
                AlignedVector<double> tiles(static_cast<std::size_t>(count) * components * kLanes);
                std::vector<Neuron> neurons(count * kLanes);
                std::vector<const double*> pointers;
                for (std::uint32_t n = 0; n < count * kLanes; ++n) {
                    neurons[n].Allocate(components - 1);
                    for (std::uint32_t k = 0; k < components; ++k) {
                        neurons[n].weights[k] = Awkward(random);
                        tiles[((n / kLanes) * components + k) * kLanes + n % kLanes] = neurons[n].weights[k];
                    }
                }
                for (std::uint32_t t = 0; t < count; ++t) pointers.push_back(&tiles[t * components * kLanes]);
                std::vector<double> vector(components);
                for (double& x : vector) x = Awkward(random);
                AlignedVector<double> out(count * kLanes);
                TileSimilarities(pointers.data(), count, components, vector.data(), out.data());
                for (std::uint32_t n = 0; n < count * kLanes; ++n) {
                    // Any NaN is as good as another: none ever wins a search.
                    const double plain = neurons[n].Similarity(vector.data());
                    if (std::isnan(plain) && std::isnan(out[n])) continue;
                    ASSERT_EQ(std::bit_cast<std::uint64_t>(out[n]), std::bit_cast<std::uint64_t>(plain))
                        << components << " components, " << count << " tiles, neuron " << n;
                }
            }
        }
    });
}

TEST(TileKernelsTest, ATileReachesWhenOneLaneMeetsTheThresholdExactly) {
    ForEachTarget([&] {
        constexpr std::uint32_t kTerms = VectorSketch::kTerms;
        AlignedVector<float> terms(3 * kTerms * kLanes, 0.0f);
        const float block[kTerms] = {0.5f, 0.25f, 1.0f, 0.0f, 2.0f};
        terms[0 * kLanes + 6] = 1.0f;  // tile 0, lane 6: 0.5 * 1 + 0.25 * 2 = 1.0 exactly
        terms[1 * kLanes + 6] = 2.0f;
        for (std::uint32_t l = 0; l < kLanes; ++l) terms[(kTerms + 2) * kLanes + l] = std::nextafter(1.0f, 0.0f);
        terms[(2 * kTerms + 4) * kLanes + 1] = kFloatNaN;  // tile 2: a NaN lane never reaches
        const std::uint32_t all[3] = {0, 1, 2};
        std::uint8_t passing[3];
        ListedTilesReaching(terms.data(), all, 3, block, 1.0f, passing);
        EXPECT_EQ(passing[0], 1);
        EXPECT_EQ(passing[1], 0);
        EXPECT_EQ(passing[2], 0);
        terms[(2 * kTerms + 4) * kLanes + 7] = std::numeric_limits<float>::infinity();
        ListedTilesReaching(terms.data(), all, 3, block, 1.0f, passing);
        EXPECT_EQ(passing[2], 1);
        ListedTilesReaching(terms.data(), all, 3, block, kFloatNaN, passing);
        EXPECT_EQ(passing[0] + passing[1] + passing[2], 0);
        // Listed tiles, in any order and repeated, are told in list order.
        ListedTilesReaching(terms.data(), all, 3, block, 1.0f, passing);
        const std::uint32_t listed[4] = {2, 0, 1, 0};
        std::uint8_t told[4];
        ListedTilesReaching(terms.data(), listed, 4, block, 1.0f, told);
        for (int k = 0; k < 4; ++k) EXPECT_EQ(told[k], passing[listed[k]]) << k;
    });
}

// The vector listing keeps exactly the tiles the plain test keeps, in order,
// from any start of a run to any end (whole vectors and tails), ties and NaN
// sums included, and never a tile of the padding past the end, which here
// would all be listed.
TEST(TileKernelsTest, TilesWithinReachAreThePlainTestsOnEveryTarget) {
    constexpr std::uint32_t kRun = AngleIndex::kTileBoundRun;
    std::mt19937_64 random(3);
    ForEachTarget([&] {
        for (int round = 0; round < 200; ++round) {
            const std::uint32_t tiles = 1 + static_cast<std::uint32_t>(random() % 40);
            const std::uint32_t padded = (tiles + kRun - 1) / kRun * kRun;
            std::vector<float> radial(padded, kFloatNaN);
            std::vector<float> rest(padded, kFloatNaN);
            for (std::uint32_t t = 0; t < tiles; ++t) {
                // Few distinct values, so that sums often equal the target.
                radial[t] = random() % 50 == 0 ? kFloatInf : 0.25f * static_cast<float>(random() % 5);
                rest[t] = 0.5f * static_cast<float>(random() % 4);
            }
            const float radialFactor = round % 7 == 0 ? 0.0f : 0.5f * static_cast<float>(random() % 3);
            const float restFactor = 0.25f * static_cast<float>(random() % 3);
            const float target = round % 11 == 0 ? kFloatNaN : 0.125f * static_cast<float>(random() % 12);
            const std::uint32_t first = static_cast<std::uint32_t>(random() % tiles) / kRun * kRun;
            std::vector<std::uint32_t> expected;
            for (std::uint32_t t = first; t < tiles; ++t) {
                if (!(radial[t] * radialFactor + rest[t] * restFactor < target)) expected.push_back(t);
            }
            std::vector<std::uint32_t> listed(padded - first);
            const std::uint32_t count = ListTilesWithinReach(radial.data(), rest.data(), first, tiles, radialFactor,
                                                             restFactor, target, listed.data());
            listed.resize(count);
            ASSERT_EQ(listed, expected) << "round " << round;
        }
    });
}

}  // namespace
}  // namespace pictora
