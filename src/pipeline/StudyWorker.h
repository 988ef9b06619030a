#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "image/RgbImage.h"
#include "pipeline/StudyJob.h"
#include "support/Status.h"

namespace pictora {

// A study with what it works on: the source and, for a map, the image set
// against it (`reconstruction`, also a reference codec's decoded file),
// shared as values that no one changes.
struct StudyRequest {
    StudyJob job;
    std::shared_ptr<const RgbImage> source;
    std::shared_ptr<const RgbImage> reconstruction;
};

struct StudyReport {
    Status status = Status::Ok();
    StudyOutcome outcome;
};

// The thread that works out the comparison studies (reference codecs at the
// result's size, their ladders, the SSIM map of a large reconstruction,
// Butteraugli maps) in
// the order they are posted. Studies read only what they are given, never
// the compressor, so they neither wait for a training step nor hold one up;
// CancelAll drops the queue and gives up the study in progress (a ladder
// between two rungs), whose report is then never made. Reports go to the
// sink on the study thread.
class StudyWorker {
public:
    using ReportSink = std::function<void(StudyReport report)>;

    StudyWorker() = default;
    // Cancels everything and joins the thread.
    ~StudyWorker();
    StudyWorker(const StudyWorker&) = delete;
    StudyWorker& operator=(const StudyWorker&) = delete;

    // Set before the first Post.
    void SetReportSink(ReportSink sink) { sink_ = std::move(sink); }
    void Post(StudyRequest request);
    void CancelAll();
    // Nothing queued or running.
    bool IsIdle() const;

private:
    void Run();
    void Hand(StudyReport report);
    StudyReport Work(const StudyRequest& request);

    ReportSink sink_;
    std::thread thread_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<StudyRequest> queue_;
    bool running_ = false;
    bool stopping_ = false;
    std::atomic<bool> cancel_{false};
};

}  // namespace pictora
