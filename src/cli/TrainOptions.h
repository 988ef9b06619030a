#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "pipeline/TrainingJob.h"

namespace pictora::cli {

// What `pictora-cli train` was asked to do. Defaults are the form's.
struct TrainOptions {
    std::string imagePath;
    int colorSpace = kColorSpaceRgb;
    std::array<std::uint32_t, 3> blockSides{8, 8, 8};
    std::array<std::uint32_t, 3> steps{1, 1, 1};
    std::array<double, 3> radius{0.1, 0.1, 0.1};
    std::array<double, 3> alfa{0.1, 0.1, 0.1};
    int filterIndex = kNoFilter;
    int entropyMode = 0;  // lossless stage measured after each step: 0 none, 1 Huffman, 2 arithmetic
    std::string resultsPath;
    std::vector<std::string> outputs;
    // Search with the plain ordered scan instead of the indexed vector search.
    bool referenceSearch = false;
};

// Parses the arguments that follow `train`. Returns false with a one-line
// reason in `error` when they are not usable.
bool ParseTrainOptions(const std::vector<std::string>& arguments, TrainOptions& options, std::string& error);

}  // namespace pictora::cli
