#include "quantizer/NeuronList.h"

#include <gtest/gtest.h>

#include <cmath>

#include "quantizer/NearestNeuron.h"

namespace pictora {
namespace {

NeuronList ListOf(std::initializer_list<double> firstComponents) {
    NeuronList list;
    list.SetDimension(1);
    std::uint16_t x = 0;
    for (double value : firstComponents) {
        double vector[2] = {value, 0.0};
        list.Append(vector, x++, 0);
    }
    return list;
}

TEST(NeuronListTest, PruneKeepsTheOrderOfUsedNeurons) {
    NeuronList list = ListOf({0.1, 0.2, 0.3, 0.4, 0.5});
    list.At(1).used = true;
    list.At(4).used = true;
    list.PruneUnused();
    ASSERT_EQ(list.Count(), 2u);
    EXPECT_EQ(list.Removed(), 3u);
    EXPECT_EQ(list.At(0).weights[0], 0.2);
    EXPECT_EQ(list.At(1).weights[0], 0.5);
    EXPECT_EQ(list.At(1).originX, 4);
}

TEST(NeuronListTest, PruneAllOrNothing) {
    NeuronList none = ListOf({0.1, 0.2});
    none.PruneUnused();
    EXPECT_EQ(none.Count(), 0u);
    EXPECT_EQ(none.Removed(), 2u);

    NeuronList all = ListOf({0.1, 0.2});
    all.At(0).used = all.At(1).used = true;
    all.PruneUnused();
    EXPECT_EQ(all.Count(), 2u);
    EXPECT_EQ(all.Removed(), 0u);
}

// A neuron read as pixels gets the weights of the same pixels gathered as a
// block, augmentation included: trunc(sqrt(N^2 - S)) / N with N = 3 * 255.
TEST(NeuronListTest, NeuronsFromPixelsWeighLikeTheirBlock) {
    NeuronList list;
    list.SetDimension(9);
    BlockVector normaliser;
    normaliser.Resize(9);
    const std::uint8_t bytes[9] = {0, 1, 2, 100, 127, 128, 200, 254, 255};
    list.AppendFromPixels(bytes, normaliser);
    Neuron& neuron = list.At(0);
    EXPECT_EQ(neuron.weights[8], 255 / (3.0 * 255));
    std::int64_t squares = 0;
    for (std::uint8_t pixel : bytes) squares += pixel * pixel;
    EXPECT_EQ(neuron.weights[9], std::trunc(std::sqrt(765.0 * 765.0 - static_cast<double>(squares))) / 765.0);
    EXPECT_GT(neuron.weights[9], 0.5);

    Plane plane(3, 3);
    for (int i = 0; i < 9; ++i) plane[i / 3][i % 3] = bytes[i];
    normaliser.Gather(plane, 0, 0);
    for (int i = 0; i <= 9; ++i) EXPECT_EQ(neuron.weights[i], normaliser.Values()[i]) << i;
    for (int i = 0; i < 9; ++i) EXPECT_EQ(neuron.pixels[i], bytes[i]) << i;
    EXPECT_EQ(neuron.originX, 0);
    EXPECT_EQ(neuron.trainings, 0u);
}

TEST(NeuronListTest, MoveTowardCountsTrainingsEvenWithZeroAlfa) {
    NeuronList list = ListOf({0.5});
    double target[2] = {1.0, 0.0};
    list.At(0).MoveToward(target, 0.0);
    EXPECT_EQ(list.At(0).weights[0], 0.5);
    list.At(0).MoveToward(target, 0.25);
    EXPECT_EQ(list.At(0).weights[0], 0.625);
    EXPECT_EQ(list.At(0).trainings, 2u);
}

TEST(NearestNeuronTest, TiesGoToTheLaterNeuronAndTheFloorMustBeReached) {
    NeuronList list = ListOf({0.5, 0.9, 0.9, 0.2});
    double block[2] = {1.0, 0.0};
    EXPECT_EQ(FindNearestNeuron(list, 4, block, 0.0), 2);
    EXPECT_EQ(FindNearestNeuron(list, 2, block, 0.0), 1);
    EXPECT_EQ(FindNearestNeuron(list, 4, block, 0.9), 2);   // equal to the floor qualifies
    EXPECT_EQ(FindNearestNeuron(list, 4, block, 0.95), -1);
    EXPECT_EQ(FindNearestNeuron(list, 0, block, 0.0), -1);
}

}  // namespace
}  // namespace pictora
