#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "pipeline/TrainingRun.h"
#include "pipeline/WorkerOutcome.h"
#include "pipeline/WorkerRequest.h"

namespace pictora {

class ImageCompressor;

// The thread that runs every command on the compressor, so that the
// interface stays responsive while a codebook trains. The interface posts a
// request; the worker runs it and hands the outcome, as a value, to the sink,
// on the worker's thread, without waiting for anyone: the sink passes it on
// (the desktop form queues it for its own thread). The owner tells the worker
// with OutcomeTaken once it has taken an outcome in (and, after a training
// step, perhaps posted the next one); until then file commands are refused,
// so none slips in between two steps of a run. The worker holds the run its
// training steps belong to.
class CodingWorker {
public:
    using OutcomeSink = std::function<void(WorkerOutcome outcome)>;

    // The compressor is the worker's alone while a command runs.
    explicit CodingWorker(ImageCompressor& compressor);
    // Ends the loop after the command in progress and joins the thread.
    ~CodingWorker();
    CodingWorker(const CodingWorker&) = delete;
    CodingWorker& operator=(const CodingWorker&) = delete;

    // Set before Start.
    void SetOutcomeSink(OutcomeSink sink) { sink_ = std::move(sink); }
    void Start();

    // A training step is always taken: one posted before the worker picks up
    // the last one replaces it. A file command is refused (false, nothing
    // changed) unless the worker is idle.
    bool Post(WorkerRequest request);
    void OutcomeTaken();

    // No command pending or running, and every outcome taken in.
    bool IsIdle() const;
    // Waits until IsIdle.
    void WaitForIdle();

private:
    void Run();
    void Hand(WorkerOutcome outcome);
    WorkerOutcome RunRequest(const WorkerRequest& request);
    StepOutcome RunStep(const TrainStepRequest& request);
    FileOutcome RunFile(const WorkerRequest& request);
    LoadOutcome RunLoad(const LoadImageRequest& request);
    SaveOutcome RunSave(const SaveResultRequest& request);
    Status ReadFile(const WorkerRequest& request, std::vector<std::string>& files);
    ResultPictures TakePictures(bool withMasks) const;
    NeuronTallies TakeTallies() const;

    ImageCompressor& compressor_;
    TrainingRun run_;
    OutcomeSink sink_;
    std::thread thread_;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<WorkerRequest> pending_;
    bool running_ = false;
    int untaken_ = 0;  // outcomes handed to the sink and not yet taken in
    bool stopping_ = false;
};

}  // namespace pictora
