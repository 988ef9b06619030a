#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "measures/RateQualityPoint.h"
#include "pipeline/StepResult.h"
#include "pipeline/TrainingJob.h"
#include "quantizer/EntropyCoderSlot.h"
#include "support/Status.h"

namespace pictora {

class ImageCompressor;

// What a run is given besides the image: the job's settings (the passes and
// the restart are the run's own), the lossless stage measured after each
// step, and the measures of each step.
struct RunSettings {
    TrainingJob job;
    LosslessMode lossless = LosslessMode::None;
    MeasureSet measures = MeasureSet::All;
};

using ChannelSteps = std::array<std::uint32_t, 3>;

// A training run on one compressor: the one place that knows how a run goes
// on. Its first job restarts the networks; every job gives one pass to each
// channel with steps left and counts those down; a run that has been begun
// runs at least one job, and it is over once no channel has steps left. Each
// job's figures (with the lossless stage measured in memory) are kept, in
// order, as the run's history. The command line, a sweep job and the
// desktop program's worker all drive their runs through it.
class TrainingRun {
public:
    explicit TrainingRun(ImageCompressor& compressor) : compressor_(compressor) {}

    // A new run of `steps` steps per channel: the history is emptied, the
    // networks are bound to the loaded image again, and the next job
    // restarts them and is step 1.
    void Begin(const ChannelSteps& steps);
    // The steps left, as the owner of a paused run changes them before it
    // goes on.
    void SetStepsLeft(const ChannelSteps& steps) { stepsLeft_ = steps; }
    const ChannelSteps& StepsLeft() const { return stepsLeft_; }
    bool HasStepsLeft() const;
    // The number of the next job, from 1.
    int NextStep() const { return nextStep_; }
    // The steps a run has left after its next job, when it has `steps` left
    // now: what a front end shows while that job runs.
    static ChannelSteps StepsAfterJob(ChannelSteps steps);

    // Runs the next job with these settings. On success, and on a channel
    // that could not be coded (told in the returned error, the rest of the
    // job having run), the step's figures join the history; when memory ran
    // out nothing is added and the run must begin again.
    Status Step(const RunSettings& settings);
    // The first job of a run on an image given as the bytes of a PNG file,
    // trained while the file is decoded; `name` heads the messages.
    Status LoadAndStep(std::span<const std::uint8_t> png, const std::string& name, const RunSettings& settings);

    // The figures of every job of the run so far, step numbers from 1.
    const std::vector<StepResult>& History() const { return history_; }
    // What measuring the last job's lossless stage reported (its figures are
    // 0 when it failed).
    const Status& LosslessStatus() const { return losslessStatus_; }

private:
    TrainingJob NextJob(const TrainingJob& settings) const;
    Status Finish(Status trained, const RunSettings& settings);

    ImageCompressor& compressor_;
    ChannelSteps stepsLeft_{};
    int nextStep_ = 1;
    std::vector<StepResult> history_;
    Status losslessStatus_ = Status::Ok();
};

}  // namespace pictora
