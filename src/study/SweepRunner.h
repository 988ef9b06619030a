#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "study/SweepJobs.h"
#include "support/Status.h"

namespace pictora {

struct SweepRunOutcome {
    std::size_t finished = 0;  // jobs that ran to their end and wrote their part
    bool interrupted = false;  // the run was asked to stop before every job was done
};

// What the thread that waits for the jobs is told and asked while they run.
struct SweepRunWatch {
    // Asked between waits; once true, the jobs stop between two steps or rungs.
    std::function<bool()> stopRequested;
    // The jobs finished so far, after every change and at least every 250 ms.
    std::function<void(std::size_t finished)> progress;
};

// Runs the jobs numbered `pending`, up to `concurrency` at once on threads of
// their own (each with its own compressor, so results do not depend on how
// many run together), and writes each finished job's part. Every thread that
// computes for the jobs waits for a core of the shared WorkerPool, so no more
// of them compute at once than there are cores. A stop keeps
// every part already written. The first failing job stops the others the
// same way and its error is returned.
Status RunSweepJobs(const SweepJobList& list, const std::vector<std::size_t>& pending, unsigned concurrency,
                    const SweepRunWatch& watch, SweepRunOutcome& outcome);

}  // namespace pictora
