#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "image/ColorSpace.h"
#include "image/RgbImage.h"
#include "pipeline/StepResult.h"
#include "pipeline/TrainingRun.h"
#include "support/Plane.h"
#include "support/Status.h"

namespace pictora {

// What the coding worker hands the interface after a command: values taken
// on the worker when the command ended, which stay as they are while the
// next command changes the networks, so the interface never reads them.

// The pictures of a result: the rebuilt R, G, B planes (rows x columns of
// channel 0), the same as one image of its own (empty without a
// reconstruction), shared so the interface keeps it without a copy, and
// after a training step the channels' codebook masks
// with the colour space they are drawn in.
struct ResultPictures {
    bool imageLoaded = false;
    std::uint32_t rows = 0;
    std::uint32_t columns = 0;
    std::array<Plane, 3> planes;
    std::shared_ptr<const RgbImage> reconstruction;
    std::optional<std::array<Plane, 3>> masks;
    ColorSpace maskSpace = ColorSpace::Rgb;
};

// A training step has run. `status` tells a channel that could not be coded
// (its figures are still given) or memory running out (nothing else is).
// The run's steps left follow it, and whether any channel has one.
struct StepOutcome {
    Status status = Status::Ok();
    StepResult result;
    NeuronTallies tallies;
    ChannelSteps stepsLeft{};
    bool stepsRemain = false;
    ResultPictures pictures;
};

// A coded image or codebooks have been read; `files` are the files read.
struct FileOutcome {
    Status status = Status::Ok();
    StepResult result;
    NeuronTallies tallies;
    std::vector<std::string> files;
    ResultPictures pictures;
};

// A PNG has been read as the source image, or refused (`status`; the image
// loaded before then stays). `source` is a copy of the new image, for the
// interface to show and to study while the worker goes on with its own;
// null when memory ran out making it (the image is still loaded for coding,
// only not shown). Its Y, Cb, Cr planes have been derived for the pictures.
struct LoadOutcome {
    Status status = Status::Ok();
    std::string path;
    std::shared_ptr<const RgbImage> source;
    int width = 0;
    int height = 0;
};

// The current result has been written to `path`, or not (`status`).
struct SaveOutcome {
    Status status = Status::Ok();
    std::string path;
};

using WorkerOutcome = std::variant<StepOutcome, FileOutcome, LoadOutcome, SaveOutcome>;

}  // namespace pictora
