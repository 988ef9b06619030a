#pragma once

#include <cstddef>
#include <vector>

#include "study/SweepJobs.h"
#include "support/Status.h"

namespace pictora::cli {

struct SweepRunOutcome {
    std::size_t finished = 0;  // jobs that ran to their end and wrote their part
    bool interrupted = false;  // Ctrl+C stopped the run before every job was done
};

// Runs the jobs numbered `pending`, up to `concurrency` at once on threads of
// their own (each with its own compressor, so results do not depend on how
// many run together), and writes each finished job's part. A progress bar
// goes to stderr when `showProgress`. Ctrl+C stops the run between two steps
// or rungs, keeping every part already written. The first failing job stops
// the others the same way and its error is returned.
Status RunSweepJobs(const SweepJobList& list, const std::vector<std::size_t>& pending, unsigned concurrency,
                    bool showProgress, SweepRunOutcome& outcome);

}  // namespace pictora::cli
