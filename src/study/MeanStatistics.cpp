#include "study/MeanStatistics.h"

#include <algorithm>
#include <vector>

namespace pictora {
namespace {

double Mean(std::span<const double> values) {
    double sum = 0.0;
    for (double value : values) sum += value;
    return sum / static_cast<double>(values.size());
}

double Median(std::span<const double> sample) {
    std::vector<double> sorted(sample.begin(), sample.end());
    std::sort(sorted.begin(), sorted.end());
    const std::size_t half = sorted.size() / 2;
    return sorted.size() % 2 == 1 ? sorted[half] : (sorted[half - 1] + sorted[half]) / 2.0;
}

}  // namespace

std::uint64_t SplitMix64::Next() {
    state_ += 0x9E3779B97F4A7C15u;
    std::uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return z ^ (z >> 31);
}

std::uint64_t SplitMix64::Below(std::uint64_t count) {
    // The high half of the 128-bit product, from 32-bit halves.
    const std::uint64_t x = Next();
    const std::uint64_t xLow = x & 0xFFFFFFFFu, xHigh = x >> 32;
    const std::uint64_t cLow = count & 0xFFFFFFFFu, cHigh = count >> 32;
    const std::uint64_t lowLow = xLow * cLow, highLow = xHigh * cLow, lowHigh = xLow * cHigh;
    const std::uint64_t middle = (lowLow >> 32) + (highLow & 0xFFFFFFFFu) + lowHigh;
    return xHigh * cHigh + (highLow >> 32) + (middle >> 32);
}

std::optional<MeanStatistics> MeanWithInterval(std::span<const double> sample) {
    if (sample.empty()) return std::nullopt;
    MeanStatistics statistics;
    statistics.mean = Mean(sample);
    statistics.median = Median(sample);
    SplitMix64 draws(kBootstrapSeed);
    std::vector<double> means(kBootstrapResamples);
    for (double& mean : means) {
        double sum = 0.0;
        for (std::size_t k = 0; k < sample.size(); ++k) sum += sample[draws.Below(sample.size())];
        mean = sum / static_cast<double>(sample.size());
    }
    std::sort(means.begin(), means.end());
    // The 250th and the 9,751st of 10,000, 1-based: 2.5 % of the means lie
    // below the interval and 2.5 % above.
    statistics.intervalLow = means[kBootstrapResamples / 40 - 1];
    statistics.intervalHigh = means[kBootstrapResamples - kBootstrapResamples / 40];
    return statistics;
}

}  // namespace pictora
