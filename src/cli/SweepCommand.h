#pragma once

#include <cstddef>
#include <optional>

#include "study/SweepJobs.h"

namespace CLI {
class App;
}

namespace pictora::cli {

// What `pictora-cli sweep` was asked to do: the sweep, and how to run it.
struct SweepOptions {
    SweepDefinition sweep;
    unsigned jobs = 0;     // jobs at once; 0 for one per core
    bool plan = false;     // print the jobs as shell commands and run nothing
    bool collect = false;  // merge the parts already written and draw
    bool report = true;    // write report.html when collecting
    // Run only the job of this number (0-based), as a planned command does.
    std::optional<std::size_t> job;
};

// Adds the `sweep` command with its options, which fill `options`, to the
// program's command line.
CLI::App* DeclareSweepCommand(CLI::App& program, SweepOptions& options);

// Runs `sweep` as the parsed options say: the missing jobs then the
// collection, the plan only, the collection only, or one planned job. Usage
// errors name `command`.
int RunSweep(const CLI::App& command, const SweepOptions& options);

}  // namespace pictora::cli
