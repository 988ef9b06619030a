#include "pipeline/CodingWorker.h"

#include <new>

#include "pipeline/ImageCompressor.h"
#include "pipeline/ResultFiles.h"
#include "support/DebugLog.h"
#include "support/FileIO.h"

namespace pictora {

CodingWorker::CodingWorker(ImageCompressor& compressor) : compressor_(compressor), run_(compressor) {}

CodingWorker::~CodingWorker() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        pending_.reset();
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void CodingWorker::Start() {
    if (!thread_.joinable()) thread_ = std::thread(&CodingWorker::Run, this);
}

bool CodingWorker::Post(WorkerRequest request) {
    {
        std::lock_guard lock(mutex_);
        const bool training = std::holds_alternative<TrainStepRequest>(request);
        if (!training && (running_ || pending_ || untaken_ > 0)) return false;
        pending_ = std::move(request);
    }
    changed_.notify_all();
    return true;
}

void CodingWorker::OutcomeTaken() {
    {
        std::lock_guard lock(mutex_);
        if (untaken_ > 0) --untaken_;
    }
    changed_.notify_all();
}

bool CodingWorker::IsIdle() const {
    std::lock_guard lock(mutex_);
    return !running_ && !pending_ && untaken_ == 0;
}

void CodingWorker::WaitForIdle() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return (!running_ && !pending_ && untaken_ == 0) || stopping_; });
}

void CodingWorker::Run() {
    for (;;) {
        WorkerRequest request;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return pending_.has_value() || stopping_; });
            if (stopping_) return;
            request = std::move(*pending_);
            pending_.reset();
            running_ = true;
        }
        WorkerOutcome outcome = RunRequest(request);
        {
            std::lock_guard lock(mutex_);
            running_ = false;
            if (sink_) ++untaken_;
        }
        changed_.notify_all();
        if (sink_) Hand(std::move(outcome));
    }
}

// A sink that cannot take the outcome (memory ran out passing it on) must
// not end the program from this thread; the outcome is lost, told in the
// trace.
void CodingWorker::Hand(WorkerOutcome outcome) {
    try {
        sink_(std::move(outcome));
    } catch (const std::bad_alloc&) {
        DebugLog("outcome lost: not enough memory\n");
        OutcomeTaken();
    }
}

// Memory running out in a command is answered like any other failure, so the
// owner hears of it and the loop goes on; the figures are then of nothing.
WorkerOutcome CodingWorker::RunRequest(const WorkerRequest& request) {
    if (const auto* load = std::get_if<LoadImageRequest>(&request)) return RunLoad(*load);
    if (const auto* save = std::get_if<SaveResultRequest>(&request)) return RunSave(*save);
    const bool training = std::holds_alternative<TrainStepRequest>(request);
    try {
        if (training) return RunStep(std::get<TrainStepRequest>(request));
        return RunFile(request);
    } catch (const std::bad_alloc&) {
        const Status refused = Status::Error(ErrorKind::OutOfMemory, "not enough memory for this job");
        if (training) return StepOutcome{refused, {}, {}, run_.StepsLeft(), false, {}};
        FileOutcome nothing;
        nothing.status = refused;
        nothing.result.origin = std::holds_alternative<DecodeFileRequest>(request) ? StepOrigin::DecodedFile
                                                                                   : StepOrigin::AppliedCodebook;
        return nothing;
    }
}

StepOutcome CodingWorker::RunStep(const TrainStepRequest& request) {
    if (request.newRun) run_.Begin(request.steps.value_or(ChannelSteps{}));
    else if (request.steps) run_.SetStepsLeft(*request.steps);
    StepOutcome outcome;
    outcome.status = run_.Step(request.settings);
    outcome.stepsLeft = run_.StepsLeft();
    outcome.stepsRemain = run_.HasStepsLeft();
    if (!outcome.status && outcome.status.kind() == ErrorKind::OutOfMemory) return outcome;
    outcome.result = run_.History().back();
    outcome.result.step = 0;  // the owner numbers its rows
    outcome.tallies = TakeTallies();
    outcome.pictures = TakePictures(true);
    return outcome;
}

FileOutcome CodingWorker::RunFile(const WorkerRequest& request) {
    FileOutcome outcome;
    outcome.status = ReadFile(request, outcome.files);
    if (!outcome.status) DebugLog("%.90s\n", outcome.status.message().c_str());
    const StepOrigin origin =
        std::holds_alternative<DecodeFileRequest>(request) ? StepOrigin::DecodedFile : StepOrigin::AppliedCodebook;
    // A decoded file keeps the quality figures held before, so it is not
    // measured against the source either.
    outcome.result =
        compressor_.Result(origin, 0, origin == StepOrigin::DecodedFile ? MeasureSet::PsnrOnly : MeasureSet::All);
    if (!outcome.status) return outcome;
    outcome.tallies = TakeTallies();
    outcome.pictures = TakePictures(false);
    return outcome;
}

// A copy of the image that cannot be made leaves it loaded for coding, only
// not shown.
LoadOutcome CodingWorker::RunLoad(const LoadImageRequest& request) {
    LoadOutcome outcome;
    outcome.path = request.path;
    try {
        outcome.status = compressor_.LoadImage(request.path);
    } catch (const std::bad_alloc&) {
        outcome.status = Status::Error(ErrorKind::OutOfMemory, "not enough memory to read " + request.path);
    }
    if (!outcome.status) return outcome;
    outcome.width = compressor_.GetImageWidth();
    outcome.height = compressor_.GetImageHeight();
    try {
        compressor_.DeriveSourcePlanes();  // the form shows them as pictures
        outcome.source = std::make_shared<const RgbImage>(static_cast<const RgbImage&>(*compressor_.SourceImage().rgb));
    } catch (const std::bad_alloc&) {
        outcome.source.reset();
    }
    return outcome;
}

SaveOutcome CodingWorker::RunSave(const SaveResultRequest& request) {
    SaveOutcome outcome;
    outcome.path = request.path;
    try {
        outcome.status = WriteResultFile(compressor_, request.kind, request.path);
    } catch (const std::bad_alloc&) {
        outcome.status = Status::Error(ErrorKind::OutOfMemory, "not enough memory to write " + request.path);
    }
    return outcome;
}

// Every coded image is expanded in memory, whatever its lossless stage.
Status CodingWorker::ReadFile(const WorkerRequest& request, std::vector<std::string>& files) {
    if (const auto* decode = std::get_if<DecodeFileRequest>(&request)) {
        files = {decode->path};
        return DecodeResultFile(compressor_, decode->path);
    }
    if (const auto* apply = std::get_if<ApplyCodebookRequest>(&request)) {
        files = {apply->path};
        return compressor_.ApplyCodebookFile(apply->path);
    }
    const auto& sections = std::get<ApplyCodebookSectionsRequest>(request);
    files = {sections.paths.begin(), sections.paths.end()};
    return compressor_.ApplyCodebookFiles(sections.paths, sections.positions);
}

NeuronTallies CodingWorker::TakeTallies() const {
    try {
        return compressor_.Tallies();
    } catch (const std::bad_alloc&) {
        return {};  // the chart of trainings and wins goes without; the result is still told
    }
}

ResultPictures CodingWorker::TakePictures(bool withMasks) const {
    ResultPictures pictures;
    pictures.imageLoaded = compressor_.IsImageLoaded();
    pictures.rows = compressor_.ReconstructionRows();
    pictures.columns = compressor_.ReconstructionColumns();
    for (int c = 0; c < 3; ++c) pictures.planes[c] = compressor_.ReconstructedPlane(c);
    pictures.reconstruction.reset(new RgbImage(compressor_.ReconstructedImage()));  // made in place, not copied
    if (withMasks && pictures.imageLoaded) {
        pictures.masks = {compressor_.Channel(0).Mask(), compressor_.Channel(1).Mask(), compressor_.Channel(2).Mask()};
        // A colour space of none codes like RGB but has always shown its
        // masks as 4:2:0.
        pictures.maskSpace =
            compressor_.ColorSpace() == ColorSpace::None ? ColorSpace::YCbCr420 : compressor_.ColorSpace();
    }
    return pictures;
}

}  // namespace pictora
