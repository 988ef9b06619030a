#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "measures/RateQualityPoint.h"
#include "pipeline/MethodSettings.h"

namespace pictora {

// The coded image (.mqc) in its parts: the K x d pixel bytes of the three
// codebooks, the three bit-stream blocks of codes (width byte, bit count,
// words) and the section heads; together exactly the file's size.
struct CodedImageRate {
    std::uint64_t codebookBytes = 0;
    std::uint64_t indexBytes = 0;
    std::uint64_t headerBytes = 0;
    std::uint64_t Total() const { return codebookBytes + indexBytes + headerBytes; }
};

// Which command produced a result: a training step, or a file the worker read
// (a decoded coded image, or stored codebooks applied to the loaded image).
enum class StepOrigin { TrainingStep, DecodedFile, AppliedCodebook };

struct ChannelFigures {
    std::uint32_t neurons = 0;
    std::uint32_t pruned = 0;     // neurons the last coding removed
    double compressionRate = 0.0;  // the channel's coded bytes over its source samples
    std::uint32_t codedBytes = 0;
};

// The figures of one step (or of one file read), as values: what the results
// list, the charts, the command line and the CSV files are made from. A run's
// history is a vector of them, kept by whoever shows it.
struct StepResult {
    StepOrigin origin = StepOrigin::TrainingStep;
    int step = 0;  // the step's number in its run; 0 for a file
    std::array<ChannelFigures, 3> channels{};
    double compressionRate = 0.0;  // the image's coded bytes over 3 x its pixels
    std::uint32_t codedBytes = 0;
    // The lossless stage's coded size over the coded image's size; 0 without
    // a lossless stage (or when it could not be measured).
    double losslessRatio = 0.0;

    // The image's size and the coded image's parts; with a lossless stage
    // also the size of its file (0 without one).
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    CodedImageRate rate;
    std::uint64_t losslessBytes = 0;
    // The coded image (.mqc) as a rate–quality point: its bytes and bits per
    // pixel, the RGB reconstruction's errors and pSNR (R, G, B and of the
    // mean of the three errors), SSIM and MS-SSIM (empty when not asked for
    // or not defined for the image's size).
    RateQualityPoint figures;
    // The method settings the result was made with (MethodOfResult), so that
    // the list and the exported rows can say which levers made them.
    MethodSettings method;

    std::uint32_t TotalNeurons() const;
    std::uint32_t TotalPruned() const;
    // The lossless stage's rate, and the compression rate after it: empty
    // when no lossless stage was measured, never a rate of 0.
    std::optional<double> LosslessRate() const;
    std::optional<double> TotalRate() const;
    // Bits per pixel of the lossless stage's file; empty without one.
    std::optional<double> LosslessBpp() const;
};

// The method settings a result of `origin` was made with when the compressor
// worked with `method`: all of them for a training step and for applied
// codebooks (coded here), only the deblocking for a decoded file, whose
// coding was chosen by whoever wrote it.
MethodSettings MethodOfResult(StepOrigin origin, const MethodSettings& method);

// How often each neuron of a channel was trained and how many blocks it won,
// in list order: what the "Treinamento X Número de Vitórias" chart plots.
struct NeuronTally {
    std::uint32_t trainings = 0;
    std::uint32_t wins = 0;
};
using NeuronTallies = std::array<std::vector<NeuronTally>, 3>;

}  // namespace pictora
