// The least-error search: its integer kernels against their plain versions on
// every instruction set, and the indexed search against the plain scan.
#include "quantizer/LeastErrorSearch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "common/HighwayTargets.h"
#include "quantizer/AlignedVector.h"
#include "quantizer/BlockVector.h"
#include "quantizer/PixelKernels.h"

namespace pictora {
namespace {

using testing::ForEachTarget;

TEST(PixelKernelsTest, ErrorsAndBoundsAreThePlainOnesOnEveryTarget) {
    std::mt19937 random(5);
    ForEachTarget([&] {
        for (std::uint32_t pairCount : {1u, 2u, 5u, 8u, 41u, 72u, 128u}) {
            AlignedVector<std::int16_t> pairs(pairCount * kPixelLanes * 2);
            // Extremes first: the largest differences must not overflow.
            for (std::size_t k = 0; k < pairs.size(); ++k)
                pairs[k] = static_cast<std::int16_t>(k < 64 ? 255 * (k % 2) : random() % 256);
            std::vector<std::int32_t> block(pairCount);
            for (std::uint32_t j = 0; j < pairCount; ++j)
                block[j] = j == 0 ? (255 << 16) : static_cast<std::int32_t>(random() % 256 | (random() % 256) << 16);
            alignas(64) std::int32_t fast[kPixelLanes];
            alignas(64) std::int32_t plain[kPixelLanes];
            TileErrors(pairs.data(), pairCount, block.data(), fast);
            PlainTileErrors(pairs.data(), pairCount, block.data(), plain);
            for (std::uint32_t l = 0; l < kPixelLanes; ++l) ASSERT_EQ(fast[l], plain[l]) << pairCount << " pairs, lane " << l;
        }
        AlignedVector<std::int32_t> groups(kPixelGroups * kPixelLanes);
        for (int trial = 0; trial < 200; ++trial) {
            for (std::int32_t& g : groups) g = static_cast<std::int32_t>(random() % 16321);
            const std::int32_t block[kPixelGroups] = {static_cast<std::int32_t>(random() % 16321), 0, 16320, 77};
            // A limit equal to some lane's bound: that lane passes, equality included.
            std::int32_t bound = 0;
            for (std::uint32_t g = 0; g < kPixelGroups; ++g)
                bound += (groups[g * kPixelLanes + trial % kPixelLanes] - block[g]) *
                         (groups[g * kPixelLanes + trial % kPixelLanes] - block[g]);
            for (std::int32_t limit : {0, bound, bound - 1, 0x7FFFFFFF}) {
                const std::uint32_t fast = TileBoundsWithin(groups.data(), block, limit);
                ASSERT_EQ(fast, PlainTileBoundsWithin(groups.data(), block, limit)) << "limit " << limit;
                if (limit == bound) {
                    ASSERT_NE(fast & (1u << (trial % kPixelLanes)), 0u);
                }
            }
        }
    });
}

// Codebooks of random neurons, near copies of the blocks and exact
// duplicates (ties, which go to the later neuron).
struct Codebook {
    NeuronList neurons;
    Codebook(std::uint32_t side, std::uint32_t count, std::mt19937& random, const std::vector<std::uint8_t>& near) {
        const std::uint32_t d = side * side;
        neurons.SetDimension(d);
        std::vector<std::uint8_t> bytes(d + 1, 0);
        BlockVector normaliser;
        normaliser.Resize(d);
        for (std::uint32_t n = 0; n < count; ++n) {
            const std::uint32_t kind = random() % 4;
            if (kind == 0 && n > 0) {
                neurons.AppendFromPixels(neurons.At(random() % n).pixels.data(), normaliser);
                continue;
            }
            for (std::uint32_t k = 0; k < d; ++k) {
                const int base = kind == 1 ? near[k % near.size()] : static_cast<int>(random() % 256);
                bytes[k] = static_cast<std::uint8_t>(std::clamp(base + static_cast<int>(random() % 7) - 3, 0, 255));
            }
            neurons.AppendFromPixels(bytes.data(), normaliser);
        }
    }
};

TEST(LeastErrorSearchTest, TheIndexFindsThePlainScansNeuronForEveryBlockSide) {
    std::mt19937 random(9);
    for (std::uint32_t side = 1; side <= PixelIndex::kLargestSide; ++side) {
        const std::uint32_t d = side * side;
        for (std::uint32_t count : {1u, 15u, 16u, 17u, 300u}) {
            std::vector<std::uint8_t> block(d);
            for (std::uint8_t& x : block) x = static_cast<std::uint8_t>(random() % 256);
            Codebook codebook(side, count, random, block);
            PixelIndex index;
            index.Build(codebook.neurons, count);
            BlockPixels pixels;
            pixels.Resize(side);
            for (int trial = 0; trial < 20; ++trial) {
                // The block itself, or a neuron's pixels (an exact match, often duplicated).
                if (trial % 2 == 1) {
                    const std::uint8_t* chosen = codebook.neurons.At(random() % count).pixels.data();
                    block.assign(chosen, chosen + d);
                } else {
                    for (std::uint8_t& x : block) x = static_cast<std::uint8_t>(std::clamp(x + static_cast<int>(random() % 21) - 10, 0, 255));
                }
                pixels.Take(block.data());
                const BestError plain = ScanLeastError(codebook.neurons, count, block.data());
                for (std::int64_t hint : {std::int64_t{-1}, std::int64_t{0}, static_cast<std::int64_t>(count - 1)}) {
                    const BestError found = FindLeastError(index, pixels, hint);
                    ASSERT_EQ(found.position, plain.position) << "side " << side << ", " << count << " neurons, trial " << trial;
                    ASSERT_EQ(found.error, plain.error);
                }
            }
        }
    }
}

TEST(LeastErrorSearchTest, ExcludedNeuronsArePassedOverLikeInThePlainScan) {
    std::mt19937 random(3);
    const std::uint32_t side = 4;
    std::vector<std::uint8_t> block(16);
    for (std::uint8_t& x : block) x = static_cast<std::uint8_t>(random() % 256);
    Codebook codebook(side, 200, random, block);
    PixelIndex index;
    index.Build(codebook.neurons, 200);
    BlockPixels pixels;
    pixels.Resize(side);
    pixels.Take(block.data());
    std::vector<std::uint8_t> removed(200, 0);
    std::int64_t skipped = ScanLeastError(codebook.neurons, 200, block.data()).position;
    // Remove the winner again and again: each time the next one must agree.
    for (int round = 0; round < 150; ++round) {
        const NeuronExclusion exclusion{removed.data(), skipped};
        const BestError plain = ScanLeastError(codebook.neurons, 200, block.data(), exclusion);
        const BestError found = FindLeastError(index, pixels, round % 3 == 0 ? skipped : -1, exclusion);
        ASSERT_EQ(found.position, plain.position) << "round " << round;
        ASSERT_EQ(found.error, plain.error);
        removed[static_cast<std::size_t>(skipped)] = 1;
        skipped = plain.position;
    }
}

}  // namespace
}  // namespace pictora
