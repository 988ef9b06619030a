#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "study/SetSummary.h"
#include "study/SweepJobs.h"
#include "support/Status.h"

namespace pictora {

// Whether job `job` has its part: complete and written for that very job.
bool PartIsComplete(const SweepJobList& list, std::size_t job);
// The jobs without such a part, in job order.
std::vector<std::size_t> PendingJobs(const SweepJobList& list);

// How the collection ends: whether it writes report.html, and the program's
// name and version the report states.
struct CollectionOptions {
    bool writeReport = true;
    std::string programVersion;
};

// Merges every job's part into DIR/results.csv, DIR/bd-rate.csv and the
// set-level DIR/summary.csv (whose rows it also returns in `summary`), draws
// each image's charts into DIR/STEM/ and writes DIR/report.html unless told
// not to. Refuses a folder whose versions.txt names other library versions,
// a damaged part with its message, and a sweep with jobs that have no part
// yet naming every one.
Status CollectSweep(const SweepJobList& list, const CollectionOptions& options, std::vector<SetSummaryRow>& summary);

}  // namespace pictora
