// The indexed vector search against the plain ordered scan, on whole training
// steps: the same neurons, weights, codes, wins, trainings, pruned counts and
// rebuilt planes, bit for bit, for every block size, radius and learning rate.
#include <gtest/gtest.h>
#include <hwy/targets.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <string>

#include "common/TempFolder.h"
#include "image/ImageBuffer.h"
#include "quantizer/KohonenNetwork.h"

namespace pictora {
namespace {

using testing::TestData;

// One channel plane coded twice, by the plain scan and by the fast search.
struct Twins {
    Plane source;
    KohonenNetwork plain;
    KohonenNetwork fast;
    Twins(const Plane& plane, std::uint32_t side) : source(plane) {
        for (KohonenNetwork* network : {&plain, &fast}) {
            network->Configure(source.Height(), source.Width(), &source);
            network->Reset(side * side);
        }
        plain.SetReferenceSearch(true);
    }
};

void ExpectSame(const KohonenNetwork& plain, const KohonenNetwork& fast) {
    ASSERT_EQ(plain.NeuronCount(), fast.NeuronCount());
    ASSERT_EQ(plain.PrunedCount(), fast.PrunedCount());
    ASSERT_EQ(plain.Codes(), fast.Codes());
    ASSERT_EQ(plain.CodedBytes(), fast.CodedBytes());
    for (std::uint32_t i = 0; i < plain.NeuronCount(); ++i) {
        const Neuron& a = plain.Neurons().At(i);
        const Neuron& b = fast.Neurons().At(i);
        ASSERT_EQ(std::memcmp(a.weights.data(), b.weights.data(), a.weights.size() * sizeof(double)), 0)
            << "weights of neuron " << i;
        ASSERT_EQ(a.pixels, b.pixels) << "neuron " << i;
        ASSERT_EQ(a.wins, b.wins) << "neuron " << i;
        ASSERT_EQ(a.trainings, b.trainings) << "neuron " << i;
        ASSERT_EQ(a.used, b.used) << "neuron " << i;
        ASSERT_EQ(a.originX, b.originX) << "neuron " << i;
        ASSERT_EQ(a.originY, b.originY) << "neuron " << i;
    }
}

void TrainAndCompare(Twins& twins, double radius, double alfa, int steps, std::uint32_t passes = 1) {
    for (int step = 0; step < steps; ++step) {
        SCOPED_TRACE("step " + std::to_string(step + 1));
        ASSERT_TRUE(twins.plain.TrainStep(radius, alfa, passes, PlaneScale::Full));
        ASSERT_TRUE(twins.fast.TrainStep(radius, alfa, passes, PlaneScale::Full));
        ExpectSame(twins.plain, twins.fast);
    }
    twins.plain.Rebuild(true);
    twins.fast.Rebuild(true);
    EXPECT_EQ(twins.plain.Rebuilt(), twins.fast.Rebuilt());
    EXPECT_EQ(twins.plain.Mask(), twins.fast.Mask());
}

// The planes of the small photos in every colour space, and crops of a larger
// photo whose sides are no multiple of most block sides.
class Planes {
public:
    static const Planes& Get() {
        static const Planes planes;
        return planes;
    }
    const Plane& At(std::size_t i) const { return planes_[i % planes_.size()]; }
    const Plane& Large() const { return large_->rgb->green; }

private:
    Planes() {
        for (const char* name : {"photo64-a.png", "photo64-b.png", "photo64-c.png", "photo64-d.png"}) {
            ImageBuffer image;
            EXPECT_TRUE(image.LoadPng(TestData(name)));
            for (const Plane* plane : {&image.rgb->red, &image.rgb->green, &image.rgb->blue, &image.lumaY,
                                       &image.chromaCb, &image.chromaCr420})
                planes_.push_back(*plane);
        }
        large_ = std::make_unique<ImageBuffer>();
        EXPECT_TRUE(large_->LoadPng(TestData("photo500-tiger.png")));
        for (std::uint32_t corner : {0u, 150u, 333u}) {
            Plane crop(61 + corner % 7, 83);
            for (std::uint32_t i = 0; i < crop.Height(); ++i)
                for (std::uint32_t j = 0; j < crop.Width(); ++j) crop[i][j] = large_->lumaY[corner + i][corner / 2 + j];
            planes_.push_back(crop);
        }
    }
    std::vector<Plane> planes_;
    std::unique_ptr<ImageBuffer> large_;
};

class EveryBlockSide : public ::testing::TestWithParam<std::uint32_t> {};

// Every radius from 0 (T = 1: only a similarity of exactly 1 qualifies) past
// sqrt(2) (T <= 0: every neuron qualifies), with learning rates 0 to 1, one
// or two passes per step.
TEST_P(EveryBlockSide, EveryRadiusAndLearningRateGiveThePlainScansResults) {
    const std::uint32_t side = GetParam();
    const double radii[] = {0.0, 0.02, 0.05, 0.1, 0.2, 0.5, 1.0, std::sqrt(2.0), 1.5};
    const double alfas[] = {0.1, 0.0, 0.5, 1.0, 0.25};
    const Planes& planes = Planes::Get();
    for (std::size_t r = 0; r < std::size(radii); ++r) {
        for (std::size_t variant = 0; variant < 2; ++variant) {
            const double alfa = alfas[(side + r + 2 * variant) % std::size(alfas)];
            SCOPED_TRACE("side " + std::to_string(side) + ", R " + std::to_string(radii[r]) + ", alfa " +
                         std::to_string(alfa));
            Twins twins(planes.At(side * 7 + r * 5 + variant * 13), side);
            TrainAndCompare(twins, radii[r], alfa, 3, 1 + (r + variant) % 2);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Sides, EveryBlockSide, ::testing::Range(2u, 13u));

// Learning rates outside 0 .. 1 give negative, growing, then infinite and NaN
// weights: the search must still agree with the scan, NaN included.
TEST(SearchEquivalenceTest, DivergingLearningRatesGiveThePlainScansResults) {
    const Planes& planes = Planes::Get();
    int n = 0;
    for (double alfa : {-0.5, 1.5, 2.5, 1e10, 1e200, -1e200}) {
        for (double radius : {0.1, 1.5}) {
            for (std::uint32_t side : {2u, 5u, 8u}) {
                SCOPED_TRACE("alfa " + std::to_string(alfa) + ", R " + std::to_string(radius) + ", side " +
                             std::to_string(side));
                Twins twins(planes.At(n++), side);
                TrainAndCompare(twins, radius, alfa, 4);
            }
        }
    }
}

// A large codebook that turns untamed midway: its searches then compute every
// similarity, split over the cores, and must still pick the scan's neuron.
TEST(SearchEquivalenceTest, ALargeCodebookGoneWildGivesThePlainScansResults) {
    Plane noise(128, 128);
    std::mt19937 random(21);
    for (std::uint32_t i = 0; i < 128; ++i)
        for (std::uint32_t j = 0; j < 128; ++j) noise[i][j] = static_cast<std::uint8_t>(random());
    Twins twins(noise, 2);
    TrainAndCompare(twins, 0.0, 0.1, 1);
    ASSERT_GT(twins.fast.NeuronCount(), 2048u);
    TrainAndCompare(twins, 0.3, 1e200, 2);
}

TEST(SearchEquivalenceTest, RadiiThatMakeNoThresholdGiveThePlainScansResults) {
    const Planes& planes = Planes::Get();
    for (double radius : {std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN(), -0.1}) {
        SCOPED_TRACE("R " + std::to_string(radius));
        Twins twins(planes.At(3), 4);
        TrainAndCompare(twins, radius, 0.1, 2);
    }
}

// Codebooks read from a file can hold anything, and are only coded.
TEST(SearchEquivalenceTest, CodingWithForeignNeuronsGivesThePlainScansResults) {
    const Planes& planes = Planes::Get();
    Twins twins(planes.At(0), 4);
    TrainAndCompare(twins, 0.1, 0.1, 1);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (const std::vector<double>& extra :
         {std::vector<double>(17, 0.25), std::vector<double>(17, -1.0), std::vector<double>(17, 1e150),
          std::vector<double>(17, nan), std::vector<double>(17, inf)}) {
        // A copy of neuron 0 at the end takes over all its blocks.
        const std::vector<double> first = twins.plain.Neurons().At(0).weights;
        for (KohonenNetwork* network : {&twins.plain, &twins.fast}) {
            network->Neurons().Append(extra.data(), 0, 0);
            network->Neurons().Append(first.data(), 0, 0);
            ASSERT_TRUE(network->CodeBlocks());
        }
        ExpectSame(twins.plain, twins.fast);
    }
}

// The instruction set is chosen at run time; each one the processor runs
// gives the same results.
TEST(SearchEquivalenceTest, EveryInstructionSetGivesThePlainScansResults) {
    for (std::int64_t target : hwy::SupportedAndGeneratedTargets()) {
        hwy::SetSupportedTargetsForTest(target);
        SCOPED_TRACE(hwy::TargetName(target));
        Twins twins(Planes::Get().At(9), 5);
        TrainAndCompare(twins, 0.05, 0.3, 2);
    }
    hwy::SetSupportedTargetsForTest(0);
}

TEST(SearchEquivalenceTest, AWholePhotoGivesThePlainScansResults) {
    Twins twins(Planes::Get().Large(), 8);
    TrainAndCompare(twins, 0.1, 0.1, 2);
    EXPECT_GT(twins.fast.NeuronCount(), 100u);
}

}  // namespace
}  // namespace pictora
