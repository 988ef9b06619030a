#include "study/SweepJobRun.h"

#include "image/PngImage.h"
#include "pipeline/ImageCompressor.h"
#include "pipeline/ReferenceStudy.h"

namespace pictora {
namespace {

// The same jobs `pictora-cli train` runs for these settings: a new run, then
// one pass per channel and step.
Status RunTraining(const SweepJobList& list, const SweepJob& job, const std::atomic<bool>& stop,
                   std::vector<SweepRow>& rows, bool& finished) {
    const std::string& path = list.imagePaths[job.image];
    ImageCompressor compressor;
    if (Status loaded = compressor.LoadImage(path); !loaded) return loaded;
    TrainingJob training = TrainingJobOf(job.cell);
    for (std::uint32_t step = 1; step <= list.steps; ++step) {
        if (stop.load()) return Status::Ok();
        training.restart = step == 1;
        if (Status trained = compressor.TrainAndCode(training); !trained) return trained.Prefixed(path);
        const StepResult result = compressor.Result(StepOrigin::TrainingStep, static_cast<int>(step), list.measures);
        rows.push_back({list.imageNames[job.image], result.width, result.height, TrainedOrigin{job.cell, step},
                        result.figures});
    }
    finished = true;
    return Status::Ok();
}

// Every rung of the codec's ladder, decoded and measured against the source
// as the training job measures its reconstructions.
Status RunLadder(const SweepJobList& list, const SweepJob& job, const std::atomic<bool>& stop,
                 std::vector<SweepRow>& rows, bool& finished) {
    const std::string& path = list.imagePaths[job.image];
    PngImage source;
    if (const int loaded = source.Load(path); loaded != PngImage::kOk) return source.LastStatus(loaded).Concerning(path);
    ReferenceCurve curve;
    if (Status measured = MeasureLadder(job.codec, source, list.measures, &stop, curve); !measured) return measured.Prefixed(path);
    for (std::size_t rung = 0; rung < curve.knobs.size(); ++rung)
        rows.push_back({list.imageNames[job.image], static_cast<std::uint32_t>(source.width),
                        static_cast<std::uint32_t>(source.height), LadderOrigin{job.codec, curve.knobs[rung]},
                        curve.points[rung]});
    finished = curve.knobs.size() == TraitsOf(job.codec).ladder.size();
    return Status::Ok();
}

}  // namespace

Status RunSweepJob(const SweepJobList& list, std::size_t job, const std::atomic<bool>& stop,
                   std::vector<SweepRow>& rows, bool& finished) {
    rows.clear();
    finished = false;
    const SweepJob& run = list.jobs[job];
    return run.kind == SweepJobKind::Training ? RunTraining(list, run, stop, rows, finished)
                                              : RunLadder(list, run, stop, rows, finished);
}

}  // namespace pictora
