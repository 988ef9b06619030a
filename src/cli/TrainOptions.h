#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "pipeline/MethodSettings.h"
#include "quantizer/EntropyCoderSlot.h"
#include "pipeline/StepResult.h"
#include "pipeline/TrainingJob.h"

namespace CLI {
class App;
class Option;
}

namespace pictora::cli {

// What `pictora-cli train` was asked to do. Defaults are the form's.
struct TrainOptions {
    std::string imagePath;
    ColorSpace colorSpace = ColorSpace::Rgb;
    std::array<std::uint32_t, 3> blockSides{8, 8, 8};
    std::array<std::uint32_t, 3> steps{1, 1, 1};
    std::array<double, 3> radius{0.1, 0.1, 0.1};
    std::array<double, 3> alfa{0.1, 0.1, 0.1};
    LowPassFilter filter = LowPassFilter::None;
    LosslessMode losslessMode = LosslessMode::None;  // the lossless stage measured after each step
    std::string resultsPath;
    std::vector<std::string> outputs;
    // Search with the plain ordered scan instead of the indexed vector search.
    bool referenceSearch = false;
    // pSNR only skips SSIM and MS-SSIM, for speed-critical runs; Butteraugli
    // is added only when asked for.
    MeasureSet measures = MeasureSet::All;
    MethodSettings method;
};

// Adds the `train` command with its options, which fill `options`, to the
// program's command line.
CLI::App* DeclareTrainCommand(CLI::App& program, TrainOptions& options);

// The option "--measures all|psnr|butteraugli" of a command, its help
// naming `what` is measured ("step", "file").
CLI::Option* DeclareMeasuresOption(CLI::App& command, MeasureSet& measures, const std::string& what);

// Parses the arguments that follow `train` on a command line of their own
// (for tests). Returns false with a one-line reason in `error`.
bool ParseTrainOptions(const std::vector<std::string>& arguments, TrainOptions& options, std::string& error);

// The job the options describe, with no passes set and no restart.
TrainingJob JobTemplate(const TrainOptions& options);

}  // namespace pictora::cli
