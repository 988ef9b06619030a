#include "study/SweepJobRun.h"

#include "image/PngImage.h"
#include "measures/BitsPerPixel.h"
#include "pipeline/ImageCompressor.h"
#include "pipeline/ReferenceStudy.h"
#include "pipeline/ResultFiles.h"
#include "pipeline/TrainingRun.h"

namespace pictora {
namespace {

// With a lossless stage a point is the stage's file: its bytes and bits per
// pixel replace the coded image's, the measures stay (the stage is lossless).
Status TakeLosslessStage(const ImageCompressor& compressor, LosslessMode stage, StepResult& result) {
    if (stage == LosslessMode::None) return Status::Ok();
    LosslessImage lossless;
    if (Status encoded = EncodeLosslessImage(compressor, stage, lossless); !encoded) return encoded;
    result.losslessBytes = lossless.packed.size();
    result.figures.bytes = result.losslessBytes;
    result.figures.bpp = BitsPerPixel(result.figures.bytes, result.width, result.height);
    return Status::Ok();
}

// The run `pictora-cli train` makes of these settings, one pass per channel
// and step.
Status RunTraining(const SweepJobList& list, const SweepJob& job, const std::atomic<bool>& stop,
                   std::vector<SweepRow>& rows, bool& finished) {
    const std::string& path = list.imagePaths[job.image];
    ImageCompressor compressor;
    if (Status loaded = compressor.LoadImage(path); !loaded) return loaded;
    TrainingRun run(compressor);
    run.Begin({list.steps, list.steps, list.steps});
    const RunSettings settings{TrainingJobOf(job.cell), LosslessMode::None, list.measures};
    while (run.HasStepsLeft()) {
        if (stop.load()) return Status::Ok();
        if (Status trained = run.Step(settings); !trained) return trained.Prefixed(path);
        StepResult result = run.History().back();
        if (Status staged = TakeLosslessStage(compressor, job.cell.entropy, result); !staged)
            return staged.Prefixed(path);
        rows.push_back({list.imageNames[job.image], result.width, result.height,
                        TrainedOrigin{job.cell, static_cast<std::uint32_t>(result.step)}, result.figures});
    }
    finished = true;
    return Status::Ok();
}

// Every rung of the codec's ladder, decoded and measured against the source
// as the training job measures its reconstructions.
Status RunLadder(const SweepJobList& list, const SweepJob& job, const std::atomic<bool>& stop,
                 std::vector<SweepRow>& rows, bool& finished) {
    const std::string& path = list.imagePaths[job.image];
    RgbImage source;
    if (Status loaded = ReadPngFile(path, source); !loaded) return loaded;
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
