#pragma once

#include <string>
#include <vector>

#include "study/SweepJobs.h"
#include "cli/SweepOptions.h"

namespace pictora::cli {

// One self-contained shell command per job, in job order: `program` (an
// absolute path) with the sweep's images and settings and `--job K`, so any
// host that sees the same files can run line K+1 alone and write its part.
std::vector<std::string> PlanCommands(const std::string& program, const SweepOptions& options,
                                      const SweepJobList& list);

}  // namespace pictora::cli
