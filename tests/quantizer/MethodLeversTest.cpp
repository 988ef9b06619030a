// The levers of the coding method on whole channels: coding by least error,
// refinement and rate-aware pruning, each the same through the fast search
// as through the plain scan, and each doing what it promises.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <string>

#include "common/TempFolder.h"
#include "image/ImageBuffer.h"
#include "quantizer/BlockVector.h"
#include "quantizer/KohonenNetwork.h"
#include "quantizer/LeastErrorSearch.h"
#include "support/Truncate.h"

namespace pictora {
namespace {

using testing::TestData;

const Plane& PhotoPlane() {
    static const Plane plane = [] {
        ImageBuffer image;
        EXPECT_TRUE(image.LoadPng(TestData("photo500-tiger.png")));
        Plane crop(97, 131);
        for (std::uint32_t i = 0; i < crop.Height(); ++i)
            for (std::uint32_t j = 0; j < crop.Width(); ++j) crop[i][j] = image.rgb->green[200 + i][150 + j];
        return crop;
    }();
    return plane;
}

Plane RandomPlane(std::uint32_t rows, std::uint32_t columns, std::uint32_t seed) {
    Plane plane(rows, columns);
    std::mt19937 random(seed);
    // Smooth ramps with noise, so that neurons code many blocks each.
    for (std::uint32_t i = 0; i < rows; ++i)
        for (std::uint32_t j = 0; j < columns; ++j)
            plane[i][j] = static_cast<std::uint8_t>((i * 3 + j * 2 + random() % 40) % 256);
    return plane;
}

struct Channel {
    Plane source;
    KohonenNetwork network;
    Channel(const Plane& plane, std::uint32_t side, const CodingMethod& method, bool reference = false) : source(plane) {
        network.Configure(source.Height(), source.Width(), &source);
        network.Reset(side * side);
        network.SetCodingMethod(method);
        network.SetReferenceSearch(reference);
    }
};

void ExpectSame(const KohonenNetwork& plain, const KohonenNetwork& fast) {
    ASSERT_EQ(plain.NeuronCount(), fast.NeuronCount());
    ASSERT_EQ(plain.PrunedCount(), fast.PrunedCount());
    ASSERT_EQ(plain.Codes(), fast.Codes());
    for (std::uint32_t i = 0; i < plain.NeuronCount(); ++i) {
        const Neuron& a = plain.Neurons().At(i);
        const Neuron& b = fast.Neurons().At(i);
        ASSERT_EQ(std::memcmp(a.weights.data(), b.weights.data(), a.weights.size() * sizeof(double)), 0) << i;
        ASSERT_EQ(a.pixels, b.pixels) << i;
        ASSERT_EQ(a.wins, b.wins) << i;
        ASSERT_EQ(a.trainings, b.trainings) << i;
    }
}

// Every block's neuron is the plain scan's least-error choice, ties to the later.
void ExpectLeastErrorCodes(const KohonenNetwork& network, const Plane& source) {
    const std::uint32_t side = BlockSide(network.Dimension());
    BlockPixels block;
    block.Resize(side);
    const std::uint32_t perRow = network.Columns() / side;
    for (std::uint32_t b = 0; b < (network.Rows() / side) * perRow; ++b) {
        block.Gather(source, b / perRow * side, b % perRow * side);
        ASSERT_EQ(network.Codes()[b], ScanLeastError(network.Neurons(), network.NeuronCount(), block.Bytes()).position)
            << "block " << b;
    }
}

TEST(MethodLeversTest, CodingByErrorIsThePlainScanForEveryBlockSide) {
    const CodingMethod byError{CodeBy::Error, 0, 0.0};
    for (std::uint32_t side = 2; side <= 12; ++side) {
        SCOPED_TRACE("side " + std::to_string(side));
        Channel plain(PhotoPlane(), side, byError, true);
        Channel fast(PhotoPlane(), side, byError);
        for (double radius : {0.05, 0.2}) {
            ASSERT_TRUE(plain.network.TrainStep(radius, 0.1, 1, PlaneScale::Full));
            ASSERT_TRUE(fast.network.TrainStep(radius, 0.1, 1, PlaneScale::Full));
            ExpectSame(plain.network, fast.network);
            ExpectLeastErrorCodes(fast.network, fast.source);
        }
    }
}

// Duplicated neurons tie on every block they are best for: the later wins.
TEST(MethodLeversTest, CodingByErrorGivesTiesToTheLaterNeuron) {
    Channel channel(PhotoPlane(), 4, {CodeBy::Error, 0, 0.0});
    ASSERT_TRUE(channel.network.TrainStep(0.1, 0.1, 1, PlaneScale::Full));
    NeuronList& neurons = channel.network.Neurons();
    const std::uint32_t count = neurons.Count();
    BlockVector normaliser;
    normaliser.Resize(neurons.At(0).dimension);
    for (std::uint32_t i = 0; i < count; ++i) neurons.AppendFromPixels(neurons.At(i).pixels.data(), normaliser);
    ASSERT_TRUE(channel.network.Code());
    // Every original is now unused and pruned; the copies took their blocks.
    EXPECT_EQ(channel.network.NeuronCount(), count);
    EXPECT_EQ(channel.network.PrunedCount(), count);
    ExpectLeastErrorCodes(channel.network, channel.source);
}

TEST(MethodLeversTest, CodingByErrorNeverCostsMoreErrorThanBySimilarity) {
    Channel similarity(PhotoPlane(), 4, {});
    ASSERT_TRUE(similarity.network.TrainStep(0.05, 0.1, 1, PlaneScale::Full));
    const std::uint64_t before = similarity.network.CodingError();
    similarity.network.SetCodingMethod({CodeBy::Error, 0, 0.0});
    ASSERT_TRUE(similarity.network.Code());
    EXPECT_LT(similarity.network.CodingError(), before);
}

// The property refinement promises, on random and real planes, every block
// side, iteration after iteration.
TEST(MethodLeversTest, RefinementNeverRaisesTheError) {
    for (std::uint32_t side : {2u, 3u, 4u, 7u, 8u}) {
        for (const Plane& plane : {PhotoPlane(), RandomPlane(70, 90, side)}) {
            SCOPED_TRACE("side " + std::to_string(side));
            Channel channel(plane, side, {});
            ASSERT_TRUE(channel.network.TrainStep(0.08, 0.1, 1, PlaneScale::Full));
            std::uint64_t error = channel.network.CodingError();
            bool fell = false;
            for (int iteration = 0; iteration < 6; ++iteration) {
                channel.network.Refine(1);
                const std::uint64_t now = channel.network.CodingError();
                ASSERT_LE(now, error) << "iteration " << iteration;
                fell = fell || now < error;
                error = now;
            }
            EXPECT_TRUE(fell);
            ExpectLeastErrorCodes(channel.network, channel.source);
        }
    }
}

// Two blocks of one neuron: its pixels become their rounded mean (a half
// rounds up), its weights the normalised vector of those pixels.
TEST(MethodLeversTest, RefinementMovesANeuronToTheRoundedMeanOfItsBlocks) {
    Plane plane(2, 4);
    const std::uint8_t left[4] = {10, 20, 30, 40};
    const std::uint8_t right[4] = {11, 20, 33, 255};
    for (int k = 0; k < 4; ++k) {
        plane[k / 2][k % 2] = left[k];
        plane[k / 2][2 + k % 2] = right[k];
    }
    Channel channel(plane, 2, {});
    const double far[5] = {0.0, 0.0, 0.0, 0.0, 1.0};
    channel.network.Neurons().Append(far, 0, 0);
    ASSERT_TRUE(channel.network.Code());
    channel.network.Refine(1);
    ASSERT_EQ(channel.network.NeuronCount(), 1u);
    const Neuron& neuron = channel.network.Neurons().At(0);
    EXPECT_EQ(std::vector<std::uint8_t>(neuron.pixels.begin(), neuron.pixels.begin() + 4),
              (std::vector<std::uint8_t>{11, 20, 32, 148}));
    BlockVector normaliser;
    normaliser.Resize(4);
    std::vector<double> expected(5);
    normaliser.NormalisePixels(neuron.pixels.data(), expected.data());
    EXPECT_EQ(neuron.weights, expected);
    EXPECT_EQ(neuron.wins, 2u);
}

TEST(MethodLeversTest, RefinementAndPruningAreThePlainScansOnesForEveryBlockSide) {
    for (std::uint32_t side = 2; side <= 12; side += 2) {
        for (const CodingMethod& method : {CodingMethod{CodeBy::Similarity, 2, 0.0}, CodingMethod{CodeBy::Error, 3, 200.0},
                                           CodingMethod{CodeBy::Similarity, 0, 5000.0}}) {
            SCOPED_TRACE("side " + std::to_string(side) + ", refine " + std::to_string(method.refine) + ", lambda " +
                         std::to_string(method.lambda));
            Channel plain(PhotoPlane(), side, method, true);
            Channel fast(PhotoPlane(), side, method);
            for (int step = 0; step < 2; ++step) {
                ASSERT_TRUE(plain.network.TrainStep(0.06, 0.1, 1, PlaneScale::Full));
                ASSERT_TRUE(fast.network.TrainStep(0.06, 0.1, 1, PlaneScale::Full));
                ExpectSame(plain.network, fast.network);
            }
        }
    }
}

TEST(MethodLeversTest, LambdaZeroPrunesNothing) {
    Channel off(PhotoPlane(), 4, {CodeBy::Error, 1, 0.0});
    Channel reference(PhotoPlane(), 4, {CodeBy::Error, 1, 0.0});
    ASSERT_TRUE(off.network.TrainStep(0.05, 0.1, 1, PlaneScale::Full));
    ASSERT_TRUE(reference.network.TrainStep(0.05, 0.1, 1, PlaneScale::Full));
    const std::uint32_t pruned = off.network.PrunedCount();
    off.network.PruneForRate(0.0);
    EXPECT_EQ(off.network.PrunedCount(), pruned);
    ExpectSame(reference.network, off.network);
}

TEST(MethodLeversTest, ALargeLambdaLeavesOneNeuron) {
    for (CodeBy codeBy : {CodeBy::Similarity, CodeBy::Error}) {
        Channel channel(PhotoPlane(), 4, {codeBy, 0, 1e15});
        ASSERT_TRUE(channel.network.TrainStep(0.05, 0.1, 1, PlaneScale::Full));
        ASSERT_EQ(channel.network.NeuronCount(), 1u);
        EXPECT_EQ(channel.network.Neurons().At(0).wins, (97u / 4) * (131u / 4));
        for (std::uint32_t code : channel.network.Codes()) ASSERT_EQ(code, 0u);
    }
}

// The rule's promise: the pruned channel costs less at that lambda, and each
// block sits with its least-error neuron among those left.
TEST(MethodLeversTest, PruningLowersTheCostAtItsLambda) {
    const double lambda = 300.0;
    Channel channel(PhotoPlane(), 4, {CodeBy::Error, 0, 0.0});
    ASSERT_TRUE(channel.network.TrainStep(0.04, 0.1, 1, PlaneScale::Full));
    const auto cost = [&](const KohonenNetwork& network) {
        const CodedSize size = ComputeCodedSize(network.Rows(), network.Columns(), 16, network.NeuronCount(), PlaneScale::Full);
        const double bits = 8.0 * size.codebookBytes + static_cast<double>(BitLength(network.NeuronCount())) * size.blockCount;
        return static_cast<double>(network.CodingError()) + lambda * bits;
    };
    const double before = cost(channel.network);
    const std::uint32_t neurons = channel.network.NeuronCount();
    channel.network.PruneForRate(lambda);
    EXPECT_LT(channel.network.NeuronCount(), neurons);
    EXPECT_GT(channel.network.NeuronCount(), 1u);
    EXPECT_LT(cost(channel.network), before);
    ExpectLeastErrorCodes(channel.network, channel.source);
}

// The greedy rule of the README, computed the slow way: every live neuron's
// added error afresh before each removal.
TEST(MethodLeversTest, PruningFollowsTheGreedyRuleExactly) {
    Plane plane(40, 52);
    for (std::uint32_t i = 0; i < 40; ++i)
        for (std::uint32_t j = 0; j < 52; ++j) plane[i][j] = PhotoPlane()[30 + i][20 + j];
    for (CodeBy codeBy : {CodeBy::Similarity, CodeBy::Error}) {
        for (double lambda : {0.5, 4.0, 30.0, 400.0}) {
            SCOPED_TRACE("lambda " + std::to_string(lambda));
            Channel channel(plane, 4, {codeBy, 0, 0.0});
            ASSERT_TRUE(channel.network.TrainStep(0.01, 0.1, 1, PlaneScale::Full));
            const NeuronList neurons = channel.network.Neurons();
            const std::uint32_t count = neurons.Count();
            const std::uint32_t blocks = 10 * 13;
            std::vector<std::uint32_t> codes(channel.network.Codes().begin(), channel.network.Codes().begin() + blocks);
            std::vector<std::vector<std::uint8_t>> pixels(blocks);
            BlockPixels block;
            block.Resize(4);
            for (std::uint32_t b = 0; b < blocks; ++b) {
                block.Gather(plane, b / 13 * 4, b % 13 * 4);
                pixels[b].assign(block.Bytes(), block.Bytes() + 16);
            }
            std::vector<std::uint8_t> removed(count, 0);
            std::uint32_t left = count;
            const std::uint64_t entries = 40 * 52 / 16;
            while (left > 1) {
                std::int64_t best = std::numeric_limits<std::int64_t>::max();
                std::uint32_t chosen = 0;
                for (std::uint32_t k = 0; k < count; ++k) {
                    if (removed[k] != 0) continue;
                    std::int64_t added = 0;
                    for (std::uint32_t b = 0; b < blocks; ++b) {
                        if (codes[b] != k) continue;
                        std::int64_t own = 0;
                        for (std::uint32_t i = 0; i < 16; ++i) {
                            const std::int64_t difference = pixels[b][i] - neurons.At(k).pixels[i];
                            own += difference * difference;
                        }
                        added += ScanLeastError(neurons, count, pixels[b].data(), {removed.data(), k}).error - own;
                    }
                    if (added <= best) {
                        best = added;
                        chosen = k;
                    }
                }
                const double saved = 8.0 * 16 + static_cast<double>(entries * (BitLength(left) - BitLength(left - 1)));
                if (!(static_cast<double>(best) < lambda * saved)) break;
                removed[chosen] = 1;
                --left;
                for (std::uint32_t b = 0; b < blocks; ++b)
                    if (codes[b] == chosen)
                        codes[b] = static_cast<std::uint32_t>(ScanLeastError(neurons, count, pixels[b].data(), {removed.data(), -1}).position);
            }
            channel.network.PruneForRate(lambda);
            ASSERT_EQ(channel.network.NeuronCount(), left);
            // Far from trivial cases: some neurons go, at the largest lambda most.
            if (lambda > 1.0) {
                EXPECT_LT(left, count);
            }
            if (lambda > 100.0) {
                EXPECT_LT(2 * left, count);
            }
            std::vector<std::uint32_t> survivors;
            for (std::uint32_t k = 0; k < count; ++k)
                if (removed[k] == 0) survivors.push_back(k);
            for (std::uint32_t i = 0; i < left; ++i)
                ASSERT_EQ(channel.network.Neurons().At(i).pixels, neurons.At(survivors[i]).pixels) << i;
            for (std::uint32_t b = 0; b < blocks; ++b)
                ASSERT_EQ(survivors[channel.network.Codes()[b]], codes[b]) << "block " << b;
        }
    }
}

}  // namespace
}  // namespace pictora
