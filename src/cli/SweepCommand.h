#pragma once

#include "cli/SweepOptions.h"

namespace pictora::cli {

// Runs `sweep` as the parsed options say: the missing jobs then the
// collection, the plan only, the collection only, or one planned job. Usage
// errors name `command`.
int RunSweep(const CLI::App& command, const SweepOptions& options);

}  // namespace pictora::cli
