#pragma once

#include <atomic>
#include <condition_variable>
#include <exception>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace pictora {

// Spreads the parts of one job over the processor's cores: the calling thread
// and a few helper threads take parts until none is left, and Run returns when
// all are done. The caller (the worker thread that runs training and coding)
// stays the only thread that sees the job start and end; helpers only run
// parts.
//
// Helpers spin for a short while after a job before they sleep, so that jobs
// a few microseconds apart (one per block of a training pass) do not pay for
// waking a thread each time.
class WorkerPool {
public:
    using Task = std::function<void(unsigned part, unsigned participant)>;

    // One pool per process, with a helper for every core but the caller's.
    static WorkerPool& Shared();

    explicit WorkerPool(unsigned helpers);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // Threads that may run parts at once: the helpers and the caller.
    unsigned Participants() const { return static_cast<unsigned>(helpers_.size()) + 1; }

    // Runs task(part, participant) for every part in 0 .. parts-1, where
    // participant (0 .. Participants()-1) tells which thread runs it, so that
    // tasks can keep scratch space per participant. A Run from inside a task,
    // from a second thread while a job runs, or while busy threads (see
    // BusyScope) take the other cores, runs its parts one after the other on
    // the calling thread. When a part throws, the parts not yet
    // started are skipped and Run throws that exception once all have stopped.
    void Run(unsigned parts, const Task& task);

    // While one lives, the thread that made it counts as one that keeps a
    // core busy outside the pool (one of several threads that share the cores
    // already). A Run spreads its parts only over the cores such threads
    // leave free: while as many of them as there are helpers run besides the
    // caller, the caller runs the parts itself, one after the other.
    class BusyScope {
    public:
        // How the thread takes its core. Immediate counts it at once, even
        // beyond the cores (a thread others wait for, such as a decoder,
        // must run). WaitForCore first waits until the busy threads and the
        // helpers running parts leave a core free, so that such threads never
        // outnumber the cores; the threads RunOnOwnThreads starts from a
        // thread admitted so wait the same way.
        enum class Admission { Immediate, WaitForCore };

        explicit BusyScope(WorkerPool& pool = Shared(), Admission admission = Admission::Immediate);
        ~BusyScope();
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

    private:
        WorkerPool& pool_;
        WorkerPool* outer_;
        bool outerWaits_;
    };

    // While one lives, a thread counted by a BusyScope of the pool leaves its
    // core to others, because it only waits for them (joins threads it
    // started); at its end the thread takes a core again, waiting for one as
    // its scope was admitted. On other threads it does nothing.
    class IdleScope {
    public:
        explicit IdleScope(WorkerPool& pool = Shared());
        ~IdleScope();
        IdleScope(const IdleScope&) = delete;
        IdleScope& operator=(const IdleScope&) = delete;

    private:
        WorkerPool& pool_;
        bool counted_;
    };

    // How the calling thread took its core: WaitForCore when it is inside a
    // BusyScope of this pool admitted by waiting, else Immediate.
    BusyScope::Admission AdmissionOfThisThread() const;

    // The most threads that computed at once, busy threads and helpers running
    // parts, since the pool was made or the last ResetPeakBusy: what shows
    // whether work admitted by waiting kept to the cores.
    unsigned PeakBusy() const { return peakBusy_.load(); }
    void ResetPeakBusy() { peakBusy_.store(0); }

private:
    void TakeCore();
    void WaitForCore();
    void GiveCore();
    // Wakes the threads waiting for a core, if any.
    void CoreFreed();
    void NoteBusy(unsigned computing);
    void HelperLoop(unsigned participant);
    void TakeParts(unsigned participant);
    void RunPart(unsigned part, unsigned participant);

    std::mutex jobLock_;  // held by the caller for the whole job
    std::mutex lock_;
    std::condition_variable wake_;
    std::condition_variable finished_;
    std::atomic<std::uint64_t> generation_{0};
    std::atomic<unsigned> nextPart_{0};
    std::atomic<unsigned> helpersBusy_{0};
    std::atomic<bool> failed_{false};
    std::atomic<unsigned> busyThreads_{0};  // threads inside a BusyScope of this pool
    std::atomic<unsigned> engagedHelpers_{0};  // helpers the job running now may use
    // The cores the job running now takes besides the busy threads: its
    // helpers, and its caller when no BusyScope counts it.
    std::atomic<unsigned> jobCores_{0};
    std::atomic<unsigned> coreWaiters_{0};     // threads waiting for a core, under lock_
    std::atomic<unsigned> peakBusy_{0};
    std::condition_variable coreFreed_;
    std::exception_ptr failure_;  // the first exception of the job, under lock_
    const Task* task_ = nullptr;  // the job's fields are written under lock_
    unsigned parts_ = 0;
    unsigned sleepingHelpers_ = 0;
    bool callerSleeping_ = false;
    bool stopping_ = false;
    std::vector<std::thread> helpers_;
};

}  // namespace pictora
