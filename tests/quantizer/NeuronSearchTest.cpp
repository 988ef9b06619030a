#include "quantizer/NeuronSearch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "quantizer/NearestNeuron.h"

namespace pictora {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Blocks of every kind a photo has: flat, smooth, edged and noisy, dark to bright.
std::vector<BlockVector> Blocks(std::uint32_t side, int count, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<BlockVector> blocks(count);
    Plane plane(side, side);
    for (int n = 0; n < count; ++n) {
        const int level = static_cast<int>(random() % 256);
        const int slope = static_cast<int>(random() % 41) - 20;
        const int noise = n % 4 == 0 ? 1 : static_cast<int>(random() % 60) + 1;
        for (std::uint32_t i = 0; i < side; ++i) {
            for (std::uint32_t j = 0; j < side; ++j) {
                const int value = level + slope * static_cast<int>(j) + static_cast<int>(random() % noise);
                plane[i][j] = static_cast<std::uint8_t>(std::clamp(value, 0, 255));
            }
        }
        blocks[n].Resize(side * side);
        blocks[n].Gather(plane, 0, 0);
    }
    return blocks;
}

std::int64_t Find(const NeuronSearch& search, const NeuronList& list, const BlockVector& block, double floor) {
    VectorSketch sketch;
    search.Describe(block, sketch);
    return search.Find(list, list.Count(), block.Values(), sketch, floor);
}

// With the index as training keeps it, and frozen (sorted) as coding uses it.
void ExpectSameAsPlainScan(const NeuronList& list, const std::vector<BlockVector>& blocks,
                           std::initializer_list<double> floors) {
    for (bool frozen : {false, true}) {
        NeuronSearch search;
        search.Rebuild(list, list.Count());
        if (frozen) search.Freeze();
        for (double floor : floors) {
            for (std::size_t b = 0; b < blocks.size(); ++b) {
                ASSERT_EQ(Find(search, list, blocks[b], floor),
                          FindNearestNeuron(list, list.Count(), blocks[b].Values(), floor))
                    << "block " << b << ", floor " << floor << ", " << list.Count() << " neurons"
                    << (frozen ? ", frozen" : "");
            }
        }
    }
}

// Neurons near the blocks, so that similarities crowd just below 1 as in a
// trained codebook, or scaled copies of anything.
NeuronList Neurons(const std::vector<BlockVector>& blocks, int count, double spread, double scale, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    NeuronList list;
    list.SetDimension(blocks[0].Dimension());
    std::vector<double> w(blocks[0].Dimension() + 1);
    for (int n = 0; n < count; ++n) {
        const double* v = blocks[random() % blocks.size()].Values();
        for (std::size_t k = 0; k < w.size(); ++k) w[k] = scale * (v[k] + spread * unit(random));
        list.Append(w.data(), 0, 0);
    }
    return list;
}

TEST(NeuronSearchTest, FindsThePlainScansNeuronForEveryFloor) {
    for (std::uint32_t side : {1u, 2u, 4u, 8u, 12u}) {
        const std::vector<BlockVector> blocks = Blocks(side, 300, side);
        for (int count : {1, 9, 200, 1500}) {
            ExpectSameAsPlainScan(Neurons(blocks, count, 0.02, 1.0, side * 100 + count), blocks,
                                  {0.0, 0.9, 0.995, 0.99875, 1.0, -1.0, -kInf, kNaN});
        }
    }
}

TEST(NeuronSearchTest, WeightsOfAnySignAndSizeGiveThePlainScansNeuron) {
    const std::vector<BlockVector> blocks = Blocks(5, 200, 6);
    // 1e-25 and 1e25 stay tame, at either end of the range single precision
    // holds their terms in; 1e-200 and 1e90 do not.
    for (double scale : {0.0, 1e-200, 1e-25, 1e-5, -1.0, 3.0, 1e25, 1e90}) {
        SCOPED_TRACE(scale);
        ExpectSameAsPlainScan(Neurons(blocks, 400, 2.0, scale, 8), blocks, {0.0, -std::abs(scale), 0.5 * scale});
    }
}

// Copies of a block tie exactly; a flat block's bound and similarity are
// sums of the same values in different orders and may differ in the last
// place either way: the later copy must still win, also against a floor
// equal to its similarity.
TEST(NeuronSearchTest, EqualSimilaritiesGoToTheLaterNeuron) {
    for (std::uint32_t side = 2; side <= 12; ++side) {
        for (int level = 1; level < 256; level += 11) {
            Plane plane(side, side);
            plane.Fill(static_cast<std::uint8_t>(level));
            std::vector<BlockVector> blocks(1);
            blocks[0].Resize(side * side);
            blocks[0].Gather(plane, 0, 0);
            NeuronList list = Neurons(blocks, 12, 0.0, 0.99, 1);
            for (int n = 0; n < 12; ++n) list.Append(n % 4 == 1 ? blocks[0].Values() : list.At(0).weights.data(), 0, 0);
            const double own = list.At(13).Similarity(blocks[0].Values());
            NeuronSearch search;
            search.Rebuild(list, list.Count());
            ASSERT_EQ(Find(search, list, blocks[0], 0.0), 21) << side << " " << level;
            ASSERT_EQ(Find(search, list, blocks[0], own), 21) << side << " " << level;
            ASSERT_EQ(Find(search, list, blocks[0], std::nextafter(own, 2.0)), -1) << side << " " << level;
        }
    }
}

TEST(NeuronSearchTest, NaNAndInfiniteWeightsGiveThePlainScansNeuron) {
    const std::vector<BlockVector> blocks = Blocks(4, 60, 9);
    // NaN never wins; -inf never reaches a floor; +inf wins every block whose
    // pixel 3 is not 0; +inf and -inf together give NaN or an infinity.
    const std::pair<int, double> wild[] = {{3, kNaN}, {3, -kInf}, {3, kInf}, {5, -kInf}};
    for (int count : {50, 3000}) {  // 3000: the exhaustive search is split over the cores
        NeuronList list = Neurons(blocks, count, 0.03, 1.0, 10);
        std::vector<double> w(17, 0.1);
        for (const auto& [component, value] : wild) {
            w[component] = value;
            list.Append(w.data(), 0, 0);
            ExpectSameAsPlainScan(list, blocks, {0.0, 0.99, -kInf});
        }
    }
}

// The index follows appends and moves one neuron at a time, growing its
// buckets with the list and taking in and letting go of untamed neurons,
// without being rebuilt from the list.
TEST(NeuronSearchTest, FollowsAppendsAndMovesOfAGrowingList) {
    const std::vector<BlockVector> blocks = Blocks(4, 400, 12);
    std::mt19937 random(13);
    NeuronList list;
    list.SetDimension(16);
    NeuronSearch search;
    search.Rebuild(list, 0);
    const double alfas[] = {0.1, 0.5, 1.0, 0.0, -0.3, 1.7, 1e300};
    for (int step = 0; step < 6000; ++step) {
        const BlockVector& block = blocks[random() % blocks.size()];
        const double threshold = 0.99 + 0.009 * (step % 3);
        const std::int64_t winner = Find(search, list, block, threshold);
        ASSERT_EQ(winner, FindNearestNeuron(list, list.Count(), block.Values(), threshold)) << "step " << step;
        if (winner >= 0) {
            const auto position = static_cast<std::uint32_t>(winner);
            // 1e300 sends a neuron far away; a later move by 1 brings it back
            // to exactly 0 (w + (v - w) loses v against w).
            list.At(position).MoveToward(block.Values(), step % 500 == 7 ? 1e300 : alfas[step % 6]);
            search.Moved(position, list.At(position));
        } else {
            list.Append(block.Values(), 0, 0);
            search.Appended(list);
        }
    }
    EXPECT_GT(list.Count(), 12u * AngleIndex::kFewestBuckets);
    EXPECT_FALSE(search.Exhaustive());
    ExpectSameAsPlainScan(list, blocks, {0.0});
}

}  // namespace
}  // namespace pictora
