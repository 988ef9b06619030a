#pragma once

#include <array>
#include <cstdint>

namespace pictora {

// Colour spaces as stored in the first byte of the coded-image and codebook
// files; anything above 2 reads as kColorSpaceNone, which codes like RGB.
inline constexpr int kColorSpaceYCbCr444 = 0;
inline constexpr int kColorSpaceRgb = 1;
inline constexpr int kColorSpaceYCbCr420 = 2;
inline constexpr int kColorSpaceNone = 3;

// Filter size index of "Não Filtrar"; 0..3 select a box of 3, 5, 7 or 9 pixels.
inline constexpr int kNoFilter = -1;

// One channel's share of a training job.
struct ChannelJob {
    double radius = 0.1;
    double alfa = 0.1;
    std::uint32_t passes = 0;        // 0: the channel is idle in this job
    std::uint32_t dimension = 64;    // pixels per block, the square of the block side
};

// The arguments of one training job: channel 0 is R or Y, 1 is G or Cb, 2 is B or Cr.
struct TrainingJob {
    std::array<ChannelJob, 3> channels{};
    int filterIndex = kNoFilter;
    bool restart = false;
    int colorSpace = kColorSpaceRgb;
};

}  // namespace pictora
