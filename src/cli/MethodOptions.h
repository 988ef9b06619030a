#pragma once

#include "pipeline/MethodSettings.h"

namespace CLI {
class App;
}

namespace pictora::cli {

// Which of the method's options a command takes: all four (commands that
// code), or only the deblocking filter (commands that only decode).
enum class MethodOptionSet { All, DeblockOnly };

// Adds --code-by, --refine, --lambda and --deblock (or only --deblock) to a
// command; they fill `settings`.
void DeclareMethodOptions(CLI::App& command, MethodSettings& settings, MethodOptionSet set);

}  // namespace pictora::cli
