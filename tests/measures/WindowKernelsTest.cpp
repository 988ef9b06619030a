#include "measures/WindowKernels.h"

#include <gtest/gtest.h>
#include <hwy/targets.h>

#include <bit>
#include <cmath>
#include <random>
#include <vector>

#include "common/HighwayTargets.h"
#include "measures/GaussianWindow.h"
#include "measures/ScalarWindowKernels.h"

namespace pictora {
namespace {

using testing::ForEachTarget;

void ExpectSameBits(const std::vector<double>& a, const std::vector<double>& b) {
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t k = 0; k < a.size(); ++k)
        ASSERT_EQ(std::bit_cast<std::uint64_t>(a[k]), std::bit_cast<std::uint64_t>(b[k])) << k;
}

// Both kernels add the two samples of a tap before weighing them, which is
// only the window's sum when the taps mirror exactly.
TEST(WindowKernels, TapsMirrorBitForBitAndSumToOne) {
    const auto& taps = GaussianWindow::Taps();
    double sum = 0.0;
    for (std::size_t k = 0; k < GaussianWindow::kSide; ++k) {
        EXPECT_EQ(std::bit_cast<std::uint64_t>(taps[k]), std::bit_cast<std::uint64_t>(taps[GaussianWindow::kSide - 1 - k]));
        sum += taps[k];
    }
    EXPECT_NEAR(sum, 1.0, 1e-15);
    EXPECT_NEAR(taps[4] / taps[5], std::exp(-1.0 / (2.0 * 1.5 * 1.5)), 1e-15);
}

TEST(WindowKernels, VectorKernelsAreTheScalarOnesBitForBit) {
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> sample(0.0, 255.0);
    const double* taps = GaussianWindow::Taps().data();
    ForEachTarget([&] {
        for (std::size_t width : {11u, 12u, 19u, 40u, 67u}) {
            SCOPED_TRACE(width);
            std::vector<double> samples(kMomentCount * GaussianWindow::kSide * width);
            for (double& v : samples) v = sample(random);
            const SampleRows rows{samples.data(), width, GaussianWindow::kSide * width};
            std::vector<double> vectorMoments(kMomentCount * width);
            std::vector<double> scalarMoments(kMomentCount * width);
            ColumnMoments(rows, taps, width, vectorMoments.data(), width);
            ScalarColumnMoments(rows, taps, 0, width, scalarMoments.data(), width);
            ExpectSameBits(vectorMoments, scalarMoments);

            const std::size_t windows = width - (GaussianWindow::kSide - 1);
            std::vector<double> vectorTerms(3 * windows);
            std::vector<double> scalarTerms(3 * windows);
            const WindowTerms all{true, true, true};
            WindowTermsRow(scalarMoments.data(), width, taps, windows, all,
                           {vectorTerms.data(), vectorTerms.data() + windows, vectorTerms.data() + 2 * windows});
            ScalarWindowTerms(scalarMoments.data(), width, taps, 0, windows, all,
                              {scalarTerms.data(), scalarTerms.data() + windows, scalarTerms.data() + 2 * windows});
            ExpectSameBits(vectorTerms, scalarTerms);
        }
    });
}

TEST(WindowKernels, VectorSampleRowsAreTheScalarOnes) {
    std::mt19937_64 random(5);
    ForEachTarget([&] {
        for (std::size_t width : {1u, 8u, 13u, 70u}) {
            SCOPED_TRACE(width);
            std::vector<std::uint8_t> bytesA(width);
            std::vector<std::uint8_t> bytesB(width);
            std::vector<double> realsA(width);
            std::vector<double> realsB(width);
            for (std::size_t j = 0; j < width; ++j) {
                bytesA[j] = static_cast<std::uint8_t>(random());
                bytesB[j] = static_cast<std::uint8_t>(random());
                realsA[j] = std::ldexp(static_cast<double>(random() % 1021), -2);
                realsB[j] = std::ldexp(static_cast<double>(random() % 1021), -2);
            }
            std::vector<double> fast(kMomentCount * width);
            std::vector<double> plain(kMomentCount * width);
            FillSamples(bytesA.data(), bytesB.data(), width, fast.data(), width);
            ScalarFillSamples(bytesA.data(), bytesB.data(), 0, width, plain.data(), width);
            ExpectSameBits(fast, plain);
            EXPECT_EQ(plain[4 * width], static_cast<double>(bytesA[0]) * bytesB[0]);
            FillSamples(realsA.data(), realsB.data(), width, fast.data(), width);
            ScalarFillSamples(realsA.data(), realsB.data(), 0, width, plain.data(), width);
            ExpectSameBits(fast, plain);
        }
    });
}

}  // namespace
}  // namespace pictora
