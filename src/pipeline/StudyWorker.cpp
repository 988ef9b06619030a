#include "pipeline/StudyWorker.h"

#include <new>

#include "measures/Butteraugli.h"
#include "measures/RgbSsimMap.h"
#include "pipeline/ReferenceStudy.h"

namespace pictora {

StudyWorker::~StudyWorker() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        queue_.clear();
        cancel_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void StudyWorker::Post(StudyRequest request) {
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(request));
        if (!thread_.joinable()) thread_ = std::thread(&StudyWorker::Run, this);
    }
    changed_.notify_all();
}

void StudyWorker::CancelAll() {
    std::lock_guard lock(mutex_);
    queue_.clear();
    if (running_) cancel_ = true;
}

bool StudyWorker::IsIdle() const {
    std::lock_guard lock(mutex_);
    return queue_.empty() && !running_;
}

void StudyWorker::Run() {
    for (;;) {
        StudyRequest request;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return !queue_.empty() || stopping_; });
            if (stopping_) return;
            request = std::move(queue_.front());
            queue_.pop_front();
            running_ = true;
            cancel_ = false;
        }
        StudyReport report = Work(request);
        bool cancelled = false;
        {
            std::lock_guard lock(mutex_);
            running_ = false;
            cancelled = cancel_.exchange(false);
        }
        if (!cancelled && sink_) Hand(std::move(report));
    }
}

// A report that cannot be passed on (memory ran out copying its pictures) is
// told as a failure of its study, which takes no memory to pass on.
void StudyWorker::Hand(StudyReport report) {
    const StudyJob job = report.outcome.job;
    try {
        sink_(std::move(report));
    } catch (const std::bad_alloc&) {
        try {
            sink_(StudyReport{Status::Error(ErrorKind::OutOfMemory, "not enough memory for this job"),
                              StudyOutcome{job, {}, {}, {}, {}}});
        } catch (const std::bad_alloc&) {
        }
    }
}

StudyReport StudyWorker::Work(const StudyRequest& request) {
    StudyReport report;
    report.outcome.job = request.job;
    if (!request.source || (ComparesTwoImages(request.job.task) && !request.reconstruction)) {
        report.status = Status::Error(ErrorKind::InvalidSetting, "no image is loaded");
        return report;
    }
    try {
        switch (request.job.task) {
            case StudyTask::ReferenceAtSize:
                report.status = EncodeReferenceAtSize(request.job.codec, *request.source, request.job.targetBytes,
                                                      report.outcome.atSize);
                break;
            case StudyTask::ReferenceLadders:
                report.status = EncodeReferenceLadders(*request.source, &cancel_, report.outcome.curves);
                break;
            case StudyTask::ReconstructionSsimMap:
                report.outcome.ssimMap = RgbSsimMap(*request.source, *request.reconstruction);
                break;
            case StudyTask::ReconstructionButteraugliMap:
            case StudyTask::ReferenceButteraugliMap:
                report.outcome.butteraugliMap = ButteraugliDistanceMap(*request.source, *request.reconstruction);
                if (!report.outcome.butteraugliMap)
                    report.status = Status::Error(ErrorKind::InvalidSetting,
                                                  "Butteraugli cannot compare these images (their sizes differ)");
                break;
        }
    } catch (const std::bad_alloc&) {
        report.status = Status::Error(ErrorKind::OutOfMemory, "not enough memory for this job");
        report.outcome = StudyOutcome{request.job, {}, {}, {}, {}};
    }
    return report;
}

}  // namespace pictora
