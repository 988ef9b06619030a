#pragma once

#include <array>
#include <cstdint>

#include "pipeline/TrainingJob.h"

namespace pictora::testing {

// A training job with R and ALFA at the form's 0.1, blocks of side x side on
// every channel, and `passes[c]` passes for channel c.
inline TrainingJob MakeJob(ColorSpace colorSpace, std::uint32_t side, std::array<std::uint32_t, 3> passes, bool restart,
                           LowPassFilter filter = LowPassFilter::None) {
    TrainingJob job;
    for (std::size_t c = 0; c < 3; ++c) {
        job.channels[c].radius = 0.1;
        job.channels[c].alfa = 0.1;
        job.channels[c].passes = passes[c];
        job.channels[c].dimension = side * side;
    }
    job.filter = filter;
    job.restart = restart;
    job.colorSpace = colorSpace;
    return job;
}

}  // namespace pictora::testing
