#pragma once

#include <array>
#include <optional>
#include <string>
#include <variant>

#include "pipeline/ResultFiles.h"
#include "pipeline/TrainingRun.h"
#include "quantizer/EntropyCoderSlot.h"

namespace pictora {

// What the interface asks of the coding worker, one value per command.

// The next job of the worker's run. A new run begins with `steps` steps per
// channel; a run that goes on takes `steps`, when given, as its steps left
// (the user may have changed them while it was paused).
struct TrainStepRequest {
    RunSettings settings;
    bool newRun = false;
    std::optional<ChannelSteps> steps;
};

// A coded image file (.mqc, or one through a lossless stage: its extension
// says which) read and rebuilt without training.
struct DecodeFileRequest {
    std::string path;
};

// The loaded image coded with the first three codebooks of one file.
struct ApplyCodebookRequest {
    std::string path;
};

// The loaded image coded with section positions[c] (from 1) of paths[c] for
// each channel c.
struct ApplyCodebookSectionsRequest {
    std::array<std::string, 3> paths;
    std::array<int, 3> positions{};
};

// A PNG read as the new source image. It runs here rather than on the
// interface thread so that a large photo does not freeze the window, and it
// waits for a step in progress, which reads the image it would replace.
struct LoadImageRequest {
    std::string path;
};

// The current result written as a file of `kind`.
struct SaveResultRequest {
    ResultFileKind kind = ResultFileKind::Unknown;
    std::string path;
};

using WorkerRequest = std::variant<TrainStepRequest, DecodeFileRequest, ApplyCodebookRequest,
                                   ApplyCodebookSectionsRequest, LoadImageRequest, SaveResultRequest>;

}  // namespace pictora
