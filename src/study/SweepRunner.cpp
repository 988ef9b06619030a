#include "study/SweepRunner.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include "study/SweepJobRun.h"
#include "study/SweepPartFile.h"
#include "support/WorkerPool.h"

namespace pictora {
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
        // A job computes on a core of its own, and its channels' threads on
        // cores of theirs: the jobs at once share the cores without
        // outnumbering them, however many were asked for.
        WorkerPool::BusyScope core(WorkerPool::Shared(), WorkerPool::BusyScope::Admission::WaitForCore);
        std::vector<SweepRow> rows;
        bool finished = false;
        Status ran = RunSweepJob(list, job, run.stop, rows, finished);
        if (ran && finished) ran = WritePart(PartPath(list, job), JobDescription(list, job), rows);
        if (!ran) run.Failed(ran);
        else if (finished) run.Finished();
    }
    run.ThreadEnded();
}

}  // namespace

Status RunSweepJobs(const SweepJobList& list, const std::vector<std::size_t>& pending, unsigned concurrency,
                    const SweepRunWatch& watch, SweepRunOutcome& outcome) {
    outcome = {};
    if (pending.empty()) return Status::Ok();
    const unsigned threads = static_cast<unsigned>(std::min<std::size_t>(std::max(concurrency, 1u), pending.size()));
    const auto stopRequested = [&watch] { return watch.stopRequested && watch.stopRequested(); };
    SharedRun run;
    std::vector<std::thread> workers;
    for (unsigned t = 0; t < threads; ++t) workers.emplace_back([&] { TakeJobs(list, pending, run); });
    for (;;) {
        const auto [finished, ended] = run.Wait(std::chrono::milliseconds(250));
        if (stopRequested()) run.stop.store(true);
        if (watch.progress) watch.progress(finished);
        outcome.finished = finished;
        if (ended == threads) break;
    }
    for (std::thread& worker : workers) worker.join();
    outcome.interrupted = stopRequested();
    if (std::optional<Status> failure = run.Failure()) return *failure;
    return Status::Ok();
}

}  // namespace pictora
