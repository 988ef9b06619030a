#pragma once

#include "cli/TrainOptions.h"

namespace pictora::cli {

// Runs `train` as the parsed options say; usage errors name `command`.
int RunTrain(const CLI::App& command, const TrainOptions& options);

}  // namespace pictora::cli
