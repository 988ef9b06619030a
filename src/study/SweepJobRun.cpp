#include "study/SweepJobRun.h"

#include <memory>

#include "image/PngImage.h"
#include "pipeline/ImageCompressor.h"
#include "reference/ReferenceCodecFactory.h"

namespace pictora::cli {
namespace {

// The same jobs `pictora-cli train` runs for these settings: a new run, then
// one pass per channel and step.
Status RunTraining(const SweepJobList& list, const SweepJob& job, const std::atomic<bool>& stop,
                   std::vector<SweepPoint>& points, bool& finished) {
    const std::string& path = list.imagePaths[job.image];
    ImageCompressor compressor;
    if (Status loaded = compressor.LoadImage(path); !loaded) return loaded;
    TrainingJob training;
    for (ChannelJob& channel : training.channels) {
        channel.radius = job.cell.radius;
        channel.alfa = job.cell.alfa;
        channel.dimension = job.cell.blockSide * job.cell.blockSide;
        channel.passes = 1;
    }
    training.filter = job.cell.filter;
    training.colorSpace = job.cell.colorSpace;
    for (std::uint32_t step = 1; step <= list.steps; ++step) {
        if (stop.load()) return Status::Ok();
        training.restart = step == 1;
        if (Status trained = compressor.TrainAndCode(training); !trained) return trained.Prefixed(path);
        const StepResult result = compressor.Result(StepOrigin::TrainingStep, static_cast<int>(step), MeasureSet::All);
        SweepPoint point;
        point.image = list.imageNames[job.image];
        point.width = result.width;
        point.height = result.height;
        point.codec = std::string(kPictoraCodecName);
        point.cell = job.cell;
        point.step = step;
        point.figures = result.figures;
        points.push_back(std::move(point));
    }
    finished = true;
    return Status::Ok();
}

// Every rung of the codec's ladder, decoded and measured against the source
// as the training job measures its reconstructions.
Status RunLadder(const SweepJobList& list, const SweepJob& job, const std::atomic<bool>& stop,
                 std::vector<SweepPoint>& points, bool& finished) {
    const std::string& path = list.imagePaths[job.image];
    PngImage source;
    if (const int loaded = source.Load(path); loaded != PngImage::kOk) return source.LastStatus(loaded).Concerning(path);
    const std::unique_ptr<ReferenceCodec> codec = MakeReferenceCodec(job.codec);
    for (double knob : codec->Ladder()) {
        if (stop.load()) return Status::Ok();
        const std::string context = path + ": " + std::string(codec->Name()) + " " + ReferenceCodec::KnobText(knob);
        std::vector<std::uint8_t> file;
        if (Status encoded = codec->Encode(source, knob, file); !encoded) return encoded.Prefixed(context);
        RgbImage decoded;
        if (Status read = codec->Decode(file, decoded); !read) return read.Prefixed(context);
        RateQualityPoint figures;
        if (Status measured = MeasurePair(source, decoded, file.size(), MeasureSet::All, figures); !measured)
            return measured.Prefixed(context);
        SweepPoint point;
        point.image = list.imageNames[job.image];
        point.width = static_cast<std::uint32_t>(source.width);
        point.height = static_cast<std::uint32_t>(source.height);
        point.codec = std::string(codec->Name());
        point.setting = knob;
        point.figures = std::move(figures);
        points.push_back(std::move(point));
    }
    finished = true;
    return Status::Ok();
}

}  // namespace

Status RunSweepJob(const SweepJobList& list, std::size_t job, const std::atomic<bool>& stop,
                   std::vector<SweepPoint>& points, bool& finished) {
    points.clear();
    finished = false;
    const SweepJob& run = list.jobs[job];
    return run.kind == SweepJobKind::Training ? RunTraining(list, run, stop, points, finished)
                                              : RunLadder(list, run, stop, points, finished);
}

}  // namespace pictora::cli
