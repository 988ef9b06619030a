#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace pictora {

// The mean and median of a sample and a 95 % bootstrap interval of its
// mean: kBootstrapResamples resamples of the sample with replacement, each
// one's mean, sorted; the interval runs from the 250th to the 9,751st of them
// (1-based), the 2.5 % and 97.5 % percentiles.
struct MeanStatistics {
    double mean = 0.0;
    double median = 0.0;
    double intervalLow = 0.0;
    double intervalHigh = 0.0;
};

inline constexpr std::uint32_t kBootstrapResamples = 10000;

// The generator's fixed start: every sample is resampled from it, so the
// interval of one sample depends on nothing else (not on the other rows of a
// summary, the order jobs ran in or the machine) and a study's summary is the
// same bytes on every run.
inline constexpr std::uint64_t kBootstrapSeed = 0x9E3779B97F4A7C15u;

// SplitMix64, chosen because its every output is fixed by a few lines of
// 64-bit arithmetic that any language reproduces exactly.
class SplitMix64 {
public:
    explicit SplitMix64(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next();
    // A draw in [0, count): the high 64 bits of Next() × count.
    std::uint64_t Below(std::uint64_t count);

private:
    std::uint64_t state_;
};

// The mean is summed in the sample's order and each resample's mean in the
// order its draws came. Empty for an empty sample.
std::optional<MeanStatistics> MeanWithInterval(std::span<const double> sample);

}  // namespace pictora
