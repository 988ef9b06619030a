#include "pipeline/TrainingRun.h"

#include <algorithm>

#include "pipeline/ImageCompressor.h"
#include "pipeline/ResultFiles.h"

namespace pictora {

void TrainingRun::Begin(const ChannelSteps& steps) {
    stepsLeft_ = steps;
    nextStep_ = 1;
    history_.clear();
    compressor_.PrepareNewRun();
}

bool TrainingRun::HasStepsLeft() const {
    return std::any_of(stepsLeft_.begin(), stepsLeft_.end(), [](std::uint32_t left) { return left > 0; });
}

ChannelSteps TrainingRun::StepsAfterJob(ChannelSteps steps) {
    for (std::uint32_t& left : steps)
        if (left > 0) --left;
    return steps;
}

TrainingJob TrainingRun::NextJob(const TrainingJob& settings) const {
    TrainingJob job = settings;
    job.restart = nextStep_ == 1;
    for (std::size_t c = 0; c < 3; ++c) job.channels[c].passes = stepsLeft_[c] > 0 ? 1 : 0;
    return job;
}

Status TrainingRun::Step(const RunSettings& settings) {
    const TrainingJob job = NextJob(settings.job);
    return Finish(compressor_.TrainAndCode(job), settings);
}

Status TrainingRun::LoadAndStep(std::span<const std::uint8_t> png, const std::string& name,
                                const RunSettings& settings) {
    const TrainingJob job = NextJob(settings.job);
    return Finish(compressor_.LoadAndTrain(png, name, job), settings);
}

// The job has run: its steps are counted down and its figures kept, with the
// lossless stage measured the one way the program measures it, in memory.
Status TrainingRun::Finish(Status trained, const RunSettings& settings) {
    losslessStatus_ = Status::Ok();
    if (!trained && trained.kind() == ErrorKind::OutOfMemory) return trained;
    stepsLeft_ = StepsAfterJob(stepsLeft_);
    StepResult result = compressor_.Result(StepOrigin::TrainingStep, nextStep_, settings.measures);
    if (settings.lossless != LosslessMode::None) {
        LosslessImage lossless;
        losslessStatus_ = EncodeLosslessImage(compressor_, settings.lossless, lossless);
        result.losslessRatio = lossless.Ratio();
        result.losslessBytes = lossless.packed.size();
    }
    history_.push_back(std::move(result));
    ++nextStep_;
    return trained;
}

}  // namespace pictora
