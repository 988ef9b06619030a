#pragma once

#include <cstddef>
#include <string>

namespace pictora::cli {

// The progress bar of a sweep's jobs, one terminal line: a bar, jobs done of
// all, time elapsed and, once a job is done, the time left at the pace so far.
std::string FormatJobProgress(std::size_t done, std::size_t total, double elapsedSeconds);

// "42 s", "3 min 07 s", "2 h 05 min".
std::string FormatDuration(double seconds);

}  // namespace pictora::cli
