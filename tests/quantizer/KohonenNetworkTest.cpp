#include "quantizer/KohonenNetwork.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>
#include <string>

namespace pictora {
namespace {

Plane NoisePlane(std::uint32_t rows, std::uint32_t columns, std::uint32_t seed) {
    Plane plane(rows, columns);
    std::mt19937 random(seed);
    for (std::uint32_t i = 0; i < rows; ++i)
        for (std::uint32_t j = 0; j < columns; ++j)
            plane[i][j] = static_cast<std::uint8_t>((i * 7 + j * 3) % 200 + random() % 56);
    return plane;
}

struct Channel {
    Plane source;
    KohonenNetwork network;
    Channel(Plane plane, std::uint32_t dimension) : source(std::move(plane)) {
        network.Configure(source.Height(), source.Width(), &source);
        network.Reset(dimension);
    }
};

TEST(KohonenNetworkTest, FirstBlockBecomesNeuronZeroAndLargeRadiusKeepsOneNeuron) {
    Channel channel(NoisePlane(24, 24, 1), 9);
    ASSERT_TRUE(channel.network.TrainingPass(1.5, 0.1, 1));
    ASSERT_EQ(channel.network.NeuronCount(), 1u);
    const Neuron& only = channel.network.Neurons().At(0);
    EXPECT_EQ(only.originX, 0);
    EXPECT_EQ(only.originY, 0);
    EXPECT_EQ(only.trainings, 63u);  // 64 blocks, every one after the first moves it
}

TEST(KohonenNetworkTest, ZeroRadiusSplitsEvenIdenticalBlocksWhoseLengthIsBelowOne) {
    Plane plane(2, 4);
    plane.Fill(100);  // two identical 2 x 2 blocks with a truncated augmentation
    Channel channel(std::move(plane), 4);
    ASSERT_TRUE(channel.network.TrainingPass(0.0, 0.5, 1));
    EXPECT_EQ(channel.network.NeuronCount(), 2u);
}

TEST(KohonenNetworkTest, ZeroPassesChangeNothing) {
    Channel channel(NoisePlane(16, 16, 2), 16);
    ASSERT_TRUE(channel.network.TrainingPass(0.1, 0.1, 0));
    EXPECT_EQ(channel.network.NeuronCount(), 0u);
    EXPECT_EQ(channel.network.Neurons().Count(), 0u);
}

TEST(KohonenNetworkTest, SecondPassRevisitsEveryBlock) {
    Channel once(NoisePlane(32, 32, 3), 16);
    Channel twice(NoisePlane(32, 32, 3), 16);
    ASSERT_TRUE(once.network.TrainingPass(0.3, 0.2, 1));
    ASSERT_TRUE(twice.network.TrainingPass(0.3, 0.2, 2));
    std::uint64_t first = 0, second = 0;
    for (std::uint32_t i = 0; i < once.network.NeuronCount(); ++i) first += once.network.Trainings(i);
    for (std::uint32_t i = 0; i < twice.network.NeuronCount(); ++i) second += twice.network.Trainings(i);
    EXPECT_EQ(first + once.network.NeuronCount(), 64u);
    EXPECT_EQ(second + twice.network.NeuronCount(), 128u);
}

TEST(KohonenNetworkTest, TwoPassesAreOnePassTwice) {
    for (bool reference : {true, false}) {
        Channel once(NoisePlane(37, 45, 9), 9);
        Channel twice(NoisePlane(37, 45, 9), 9);
        once.network.SetReferenceSearch(reference);
        twice.network.SetReferenceSearch(reference);
        ASSERT_TRUE(once.network.TrainingPass(0.3, 0.2, 1));
        ASSERT_TRUE(once.network.TrainingPass(0.3, 0.2, 1));
        ASSERT_TRUE(twice.network.TrainingPass(0.3, 0.2, 2));
        ASSERT_EQ(once.network.NeuronCount(), twice.network.NeuronCount());
        for (std::uint32_t i = 0; i < once.network.NeuronCount(); ++i) {
            EXPECT_EQ(once.network.Neurons().At(i).weights, twice.network.Neurons().At(i).weights);
            EXPECT_EQ(once.network.Trainings(i), twice.network.Trainings(i));
        }
    }
}

TEST(KohonenNetworkTest, CodingPrunesUnusedNeuronsAndRecodesWithNewPositions) {
    Channel channel(NoisePlane(30, 30, 4), 9);
    ASSERT_TRUE(channel.network.TrainingPass(0.2, 0.1, 1));
    const std::uint32_t trained = channel.network.NeuronCount();
    // A neuron no block can prefer, put first so every position shifts.
    NeuronList& list = channel.network.Neurons();
    std::vector<double> far(10, 0.0);
    list.Append(far.data(), 0, 0);

    ASSERT_TRUE(channel.network.CodeBlocks());
    EXPECT_GE(channel.network.PrunedCount(), 1u);
    EXPECT_LE(channel.network.NeuronCount(), trained);  // the far neuron is gone
    EXPECT_EQ(channel.network.NeuronCount(), list.Count());
    std::uint64_t wins = 0;
    for (std::uint32_t i = 0; i < channel.network.NeuronCount(); ++i) {
        EXPECT_GE(channel.network.Wins(i), 1u);
        wins += channel.network.Wins(i);
    }
    EXPECT_EQ(wins, 100u);
    for (std::uint32_t b = 0; b < 100; ++b) EXPECT_LT(channel.network.Codes()[b], channel.network.NeuronCount());
}

TEST(KohonenNetworkTest, CodedSizeUsesTheBitLengthOfTheCount) {
    Plane plane(10, 10);
    plane.Fill(50);
    Channel channel(std::move(plane), 9);
    ASSERT_TRUE(channel.network.TrainStep(1.5, 0.1, 1, PlaneScale::Full));
    EXPECT_EQ(channel.network.NeuronCount(), 1u);
    EXPECT_EQ(channel.network.BlockCount(), 11u);               // 100 / 9, edges included
    EXPECT_EQ(channel.network.CodedBytes(), 9u + 11u / 8u);      // index width 1
    EXPECT_DOUBLE_EQ(channel.network.Ratio(), 10.0 / 100.0);

    EXPECT_EQ(ComputeCodedSize(10, 10, 9, 4, PlaneScale::Full).codedBytes, 36u + (3u * 11u) / 8u);
    EXPECT_EQ(ComputeCodedSize(10, 10, 9, 8, PlaneScale::Full).codedBytes, 72u + (4u * 11u) / 8u);
    // The product wraps in 32 bits, as the file format counts it.
    EXPECT_EQ(ComputeCodedSize(65536, 65536, 1, 1, PlaneScale::Full).blockCount, 0u);
}

TEST(KohonenNetworkTest, HalfSizeChromaIsMeasuredAgainstTheFullPlane) {
    Channel channel(NoisePlane(40, 50, 5), 25);
    ASSERT_TRUE(channel.network.TrainStep(0.4, 0.1, 1, PlaneScale::Half));
    EXPECT_EQ(channel.network.BlockCount(), 80u);
    EXPECT_DOUBLE_EQ(channel.network.Ratio(), channel.network.CodedBytes() / 8000.0);
}

TEST(KohonenNetworkTest, RebuildPastesEachBlocksNeuronAndLeavesNoMask) {
    Channel channel(NoisePlane(10, 10, 6), 9);
    ASSERT_TRUE(channel.network.TrainStep(0.05, 0.1, 1, PlaneScale::Full));
    channel.network.Rebuild(false);
    const Plane& rebuilt = channel.network.Rebuilt();
    // Each block equals the pixel form of its neuron.
    const Neuron& first = channel.network.Neurons().At(channel.network.Codes()[0]);
    EXPECT_EQ(rebuilt[1][2], first.pixels[5]);
    for (std::uint32_t i = 0; i < 10; ++i)
        for (std::uint32_t j = 0; j < 10; ++j) EXPECT_EQ(channel.network.Mask()[i][j], 0);
}

// Pixels outside the full blocks repeat the nearest rebuilt pixel,
// (min(y, Fr - 1), min(x, Fc - 1)), whatever the side and the remainders; a
// plane too small for one block is left at zero.
TEST(KohonenNetworkTest, RebuildRepeatsTheNearestBlockPixelIntoTheEdgeRemainder) {
    for (std::uint32_t side = 1; side <= 12; ++side) {
        for (std::uint32_t rows = 1; rows <= side + 2; ++rows) {
            for (std::uint32_t columns = 1; columns <= side + 2; ++columns) {
                SCOPED_TRACE(std::to_string(side) + ": " + std::to_string(columns) + " x " + std::to_string(rows));
                Channel channel(NoisePlane(rows, columns, side + rows + columns), side * side);
                const Status trained = channel.network.TrainStep(0.05, 0.1, 1, PlaneScale::Full);
                const Plane& rebuilt = channel.network.Rebuilt();
                if (rows < side || columns < side) {
                    EXPECT_FALSE(trained);
                    channel.network.Rebuild(false);
                    EXPECT_EQ(rebuilt, Plane(rows, columns));
                    continue;
                }
                ASSERT_TRUE(trained);
                channel.network.Rebuild(false);
                const std::uint32_t fullRows = rows / side * side;
                const std::uint32_t fullColumns = columns / side * side;
                for (std::uint32_t y = 0; y < rows; ++y) {
                    for (std::uint32_t x = 0; x < columns; ++x) {
                        const std::uint32_t by = std::min(y, fullRows - 1);
                        const std::uint32_t bx = std::min(x, fullColumns - 1);
                        const std::uint32_t block = (by / side) * (columns / side) + bx / side;
                        const Neuron& neuron = channel.network.Neurons().At(channel.network.Codes()[block]);
                        ASSERT_EQ(rebuilt[y][x], neuron.pixels[(by % side) * side + bx % side]) << y << "," << x;
                    }
                }
            }
        }
    }
}

TEST(KohonenNetworkTest, MasksFrameTheOriginOfEachNeuronInUse) {
    // Block A (top-left) is bright, block B (to its right) dark; with a huge
    // radius one neuron, born at A, codes both.
    Plane plane(4, 8);
    for (std::uint32_t i = 0; i < 4; ++i)
        for (std::uint32_t j = 0; j < 8; ++j) plane[i][j] = j < 4 ? 200 : 10;
    Channel channel(std::move(plane), 16);
    ASSERT_TRUE(channel.network.TrainStep(1.5, 0.5, 1, PlaneScale::Full));
    ASSERT_EQ(channel.network.NeuronCount(), 1u);
    channel.network.Rebuild(true);
    const Plane& mask = channel.network.Mask();
    const std::uint8_t expected[4][8] = {{255, 255, 255, 255, 0, 0, 0, 0},
                                         {255, 255, 255, 255, 0, 0, 0, 0},
                                         {255, 255, 255, 255, 0, 0, 0, 0},
                                         {255, 255, 255, 255, 0, 0, 0, 0}};
    for (std::uint32_t i = 0; i < 4; ++i)
        for (std::uint32_t j = 0; j < 8; ++j) EXPECT_EQ(mask[i][j], expected[i][j]) << i << "," << j;
}

TEST(KohonenNetworkTest, SinglePixelBlocksMarkOnlyTheirPixel) {
    Plane plane(3, 3);
    plane.Fill(9);
    Channel channel(std::move(plane), 1);
    ASSERT_TRUE(channel.network.TrainStep(1.5, 0.1, 1, PlaneScale::Full));
    channel.network.Rebuild(true);
    EXPECT_EQ(channel.network.Mask()[0][0], 255);
    EXPECT_EQ(channel.network.Mask()[0][1], 0);
    EXPECT_EQ(channel.network.Mask()[1][0], 0);
}

TEST(KohonenNetworkTest, RefusesPassesItCannotRun) {
    Plane small = NoisePlane(5, 12, 7);
    KohonenNetwork network;
    network.Configure(5, 12, &small);
    network.Reset(36);  // 6 x 6 blocks do not fit five rows
    EXPECT_FALSE(network.TrainStep(0.1, 0.1, 1, PlaneScale::Full));
    network.Reset(0);
    EXPECT_FALSE(network.TrainingPass(0.1, 0.1, 1));
    network.Reset(8);  // not a square
    EXPECT_FALSE(network.TrainingPass(0.1, 0.1, 1));
    network.Reset(4);
    EXPECT_FALSE(network.CodeBlocks());  // no neuron yet
    EXPECT_TRUE(network.TrainStep(0.1, 0.1, 1, PlaneScale::Full));

    KohonenNetwork unbound;
    unbound.Configure(8, 8);
    unbound.Reset(4);
    EXPECT_FALSE(unbound.TrainingPass(0.1, 0.1, 1));
}

TEST(KohonenNetworkTest, ReleaseWorkHidesTheNeuronsItStillHolds) {
    Channel channel(NoisePlane(16, 16, 8), 16);
    ASSERT_TRUE(channel.network.TrainStep(0.2, 0.1, 1, PlaneScale::Full));
    ASSERT_GT(channel.network.Neurons().Count(), 0u);
    channel.network.ReleaseWork();
    EXPECT_EQ(channel.network.NeuronCount(), 0u);
    EXPECT_FALSE(channel.network.TrainingPass(0.2, 0.1, 1));
}

}  // namespace
}  // namespace pictora
