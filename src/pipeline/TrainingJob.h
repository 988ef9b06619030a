#pragma once

#include <array>
#include <cstdint>

#include "image/BoxFilter.h"
#include "image/ColorSpace.h"
#include "pipeline/MethodSettings.h"

namespace pictora {

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
    LowPassFilter filter = LowPassFilter::None;
    bool restart = false;
    ColorSpace colorSpace = ColorSpace::Rgb;
    MethodSettings method;
};

}  // namespace pictora
