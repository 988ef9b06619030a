#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "study/SweepGrid.h"
#include "reference/ReferenceCodec.h"

namespace CLI {
class App;
}

namespace pictora::cli {

// What `pictora-cli sweep` was asked to do.
struct SweepOptions {
    std::vector<std::string> images;
    SweepGrid grid;
    std::uint32_t steps = 5;  // training steps of every cell, from a new run
    std::vector<ReferenceCodecKind> codecs{kAllReferenceCodecKinds.begin(), kAllReferenceCodecKinds.end()};
    unsigned jobs = 0;  // jobs at once; 0 for one per core
    std::string outputFolder = "sweep";
    bool plan = false;     // print the jobs as shell commands and run nothing
    bool collect = false;  // merge the parts already written and draw
    // Run only the job of this number (0-based), as a planned command does.
    std::optional<std::size_t> job;
};

// Adds the `sweep` command with its options, which fill `options`, to the
// program's command line.
CLI::App* DeclareSweepCommand(CLI::App& program, SweepOptions& options);

}  // namespace pictora::cli
