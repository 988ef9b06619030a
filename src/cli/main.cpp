// pictora-cli: the coding engine for scripts and batches.
#include <string>
#include <vector>

#include "cli/Commands.h"

int main(int argc, char** argv) { return pictora::cli::RunCommandLine({argv + 1, argv + argc}); }
