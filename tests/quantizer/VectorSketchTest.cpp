#include "quantizer/VectorSketch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "quantizer/Neuron.h"

namespace pictora {
namespace {

double Bound(const VectorSketch& a, const VectorSketch& b) {
    double sum = 0.0;
    for (std::uint32_t k = 0; k < VectorSketch::kTerms; ++k) sum += a.terms[k] * b.terms[k];
    return sum;
}

BlockVector RandomBlock(std::uint32_t side, std::mt19937& random, int spread) {
    Plane plane(side, side);
    const int level = static_cast<int>(random() % 256);
    for (std::uint32_t i = 0; i < side; ++i) {
        for (std::uint32_t j = 0; j < side; ++j) {
            const int noise = static_cast<int>(random() % (2 * spread + 1)) - spread;
            plane[i][j] = static_cast<std::uint8_t>(std::clamp(level + noise, 0, 255));
        }
    }
    BlockVector block;
    block.Resize(side * side);
    block.Gather(plane, 0, 0);
    return block;
}

// The bound may never fall below the similarity by more than a sliver of the
// lengths' product: for neurons near the block (where it is tight), neurons
// a hair from flat (whose residual is lost to cancellation unless padded), and
// neurons of any sign and size from 1e-6 to 1e6 (where it is loose).
TEST(VectorSketchTest, BoundIsNeverBelowTheSimilarity) {
    std::mt19937 random(3);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    for (std::uint32_t side = 1; side <= 12; ++side) {
        SketchBasis basis;
        basis.Resize(side * side);
        for (int trial = 0; trial < 300; ++trial) {
            const BlockVector block = RandomBlock(side, random, trial % 4 == 0 ? 0 : 40);
            VectorSketch blockSketch;
            basis.Describe(block, blockSketch);
            Neuron neuron;
            neuron.Allocate(side * side);
            const double scale = std::ldexp(1.0, trial % 40 - 20);
            if (trial % 3 == 0) {
                neuron.SetWeights(block.Values());
                for (double& w : neuron.weights) w += 1e-3 * unit(random);
            } else if (trial % 3 == 1) {
                neuron.SetWeights(RandomBlock(side, random, 0).Values());
                for (double& w : neuron.weights) w += 1e-9 * unit(random);
            } else {
                for (double& w : neuron.weights) w = scale * unit(random);
            }
            VectorSketch neuronSketch;
            basis.Describe(neuron.weights.data(), neuronSketch);
            ASSERT_TRUE(neuronSketch.tame);
            EXPECT_GE(Bound(neuronSketch, blockSketch), neuron.Similarity(block.Values()) - 1e-13 * neuronSketch.norm)
                << "side " << side << ", trial " << trial;
        }
    }
}

TEST(VectorSketchTest, NaNInfiniteHugeAndTinyWeightsAreNotTame) {
    SketchBasis basis;
    basis.Resize(4);
    VectorSketch sketch;
    const std::vector<double> w = {0.1, 0.2, 0.3, 0.4, 0.5};
    basis.Describe(w.data(), sketch);
    EXPECT_TRUE(sketch.tame);
    const std::vector<double> zero(5, 0.0);
    basis.Describe(zero.data(), sketch);
    EXPECT_TRUE(sketch.tame);
    const double inf = std::numeric_limits<double>::infinity();
    for (double wild : {std::numeric_limits<double>::quiet_NaN(), inf, -inf, 1e101, -1e160}) {
        std::vector<double> bad = w;
        bad[4] = wild;
        basis.Describe(bad.data(), sketch);
        EXPECT_FALSE(sketch.tame) << wild;
    }
    const std::vector<double> tiny(5, 1e-170);  // its squares vanish
    basis.Describe(tiny.data(), sketch);
    EXPECT_FALSE(sketch.tame);
}

}  // namespace
}  // namespace pictora
