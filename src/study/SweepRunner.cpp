#include "study/SweepRunner.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <optional>
#include <thread>

#include "cli/InterruptWatch.h"
#include "study/SweepJobRun.h"
#include "study/SweepPartFile.h"
#include "cli/SweepProgress.h"

namespace pictora::cli {
namespace {

// What the job threads share with the thread that waits for them.
class SharedRun {
public:
    std::atomic<bool> stop{false};
    std::atomic<std::size_t> next{0};

    void Finished() {
        std::lock_guard<std::mutex> hold(lock_);
        ++finished_;
        changed_.notify_all();
    }
    void Failed(const Status& failure) {
        std::lock_guard<std::mutex> hold(lock_);
        if (!failure_) failure_ = failure;
        stop.store(true);
        changed_.notify_all();
    }
    void ThreadEnded() {
        std::lock_guard<std::mutex> hold(lock_);
        ++threadsEnded_;
        changed_.notify_all();
    }
    // Waits for a change or the timeout; the jobs finished and the threads ended so far.
    std::pair<std::size_t, unsigned> Wait(std::chrono::milliseconds timeout) {
        std::unique_lock<std::mutex> hold(lock_);
        changed_.wait_for(hold, timeout);
        return {finished_, threadsEnded_};
    }
    std::optional<Status> Failure() {
        std::lock_guard<std::mutex> hold(lock_);
        return failure_;
    }

private:
    std::mutex lock_;
    std::condition_variable changed_;
    std::size_t finished_ = 0;
    unsigned threadsEnded_ = 0;
    std::optional<Status> failure_;
};

void TakeJobs(const SweepJobList& list, const std::vector<std::size_t>& pending, SharedRun& run) {
    for (;;) {
        if (run.stop.load()) break;
        const std::size_t index = run.next.fetch_add(1);
        if (index >= pending.size()) break;
        const std::size_t job = pending[index];
        std::vector<SweepPoint> points;
        bool finished = false;
        Status ran = RunSweepJob(list, job, run.stop, points, finished);
        if (ran && finished) ran = WritePart(PartPath(list, job), JobDescription(list, job), points);
        if (!ran) run.Failed(ran);
        else if (finished) run.Finished();
    }
    run.ThreadEnded();
}

}  // namespace

Status RunSweepJobs(const SweepJobList& list, const std::vector<std::size_t>& pending, unsigned concurrency,
                    bool showProgress, SweepRunOutcome& outcome) {
    outcome = {};
    if (pending.empty()) return Status::Ok();
    const unsigned threads = static_cast<unsigned>(std::min<std::size_t>(std::max(concurrency, 1u), pending.size()));
    InterruptWatch interrupt;
    SharedRun run;
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> workers;
    for (unsigned t = 0; t < threads; ++t) workers.emplace_back([&] { TakeJobs(list, pending, run); });
    for (;;) {
        const auto [finished, ended] = run.Wait(std::chrono::milliseconds(250));
        if (interrupt.Interrupted()) run.stop.store(true);
        if (showProgress) {
            const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            std::fprintf(stderr, "\r\033[K%s", FormatSweepProgress(finished, pending.size(), elapsed).c_str());
            std::fflush(stderr);
        }
        outcome.finished = finished;
        if (ended == threads) break;
    }
    for (std::thread& worker : workers) worker.join();
    if (showProgress) std::fputs("\n", stderr);
    outcome.interrupted = interrupt.Interrupted();
    if (std::optional<Status> failure = run.Failure()) return *failure;
    return Status::Ok();
}

}  // namespace pictora::cli
