#pragma once

#include <atomic>
#include <cstddef>
#include <vector>

#include "study/SweepJobs.h"
#include "study/SweepRow.h"
#include "support/Status.h"

namespace pictora {

// Runs job `job` of the list and replaces `rows` with its points in order:
// a training job's steps, or a ladder's rungs worst first. The job is given
// up between two steps or rungs once `stop` is set; `finished` tells whether
// it ran to its end.
Status RunSweepJob(const SweepJobList& list, std::size_t job, const std::atomic<bool>& stop,
                   std::vector<SweepRow>& rows, bool& finished);

}  // namespace pictora
