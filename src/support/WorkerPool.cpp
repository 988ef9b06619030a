#include "support/WorkerPool.h"

namespace pictora {
namespace {

// Rounds of the spin before a thread sleeps: some tens of microseconds. (A
// pause instruction in the loop made jobs slower here.)
constexpr int kSpins = 20000;

thread_local bool insidePart = false;
// The pool in whose BusyScope this thread is, if any, and whether that scope
// was admitted by waiting for a core.
thread_local WorkerPool* busyIn = nullptr;
thread_local bool busyWaits = false;

void RunInline(unsigned parts, const WorkerPool::Task& task) {
    for (unsigned part = 0; part < parts; ++part) task(part, 0);
}

}  // namespace

// A part that throws (memory running out, say) must not end the process on a
// helper thread, nor leave the caller while helpers still use its stack: the
// first exception is kept, the remaining parts are skipped, and Run throws it
// on the caller once every participant has stopped.
void WorkerPool::RunPart(unsigned part, unsigned participant) {
    if (failed_.load(std::memory_order_acquire)) return;
    try {
        (*task_)(part, participant);
    } catch (...) {
        std::lock_guard<std::mutex> guard(lock_);
        if (!failure_) failure_ = std::current_exception();
        failed_.store(true, std::memory_order_release);
    }
}

WorkerPool::BusyScope::BusyScope(WorkerPool& pool, Admission admission)
    : pool_(pool), outer_(busyIn), outerWaits_(busyWaits) {
    if (busyIn == &pool_) return;  // counted already
    if (admission == Admission::WaitForCore) pool_.WaitForCore();
    else pool_.TakeCore();
    busyIn = &pool_;
    busyWaits = admission == Admission::WaitForCore;
}

WorkerPool::BusyScope::~BusyScope() {
    if (outer_ == &pool_) return;
    pool_.GiveCore();
    busyIn = outer_;
    busyWaits = outerWaits_;
}

WorkerPool::IdleScope::IdleScope(WorkerPool& pool) : pool_(pool), counted_(busyIn == &pool) {
    if (!counted_) return;
    pool_.GiveCore();
    busyIn = nullptr;
}

WorkerPool::IdleScope::~IdleScope() {
    if (!counted_) return;
    if (busyWaits) pool_.WaitForCore();
    else pool_.TakeCore();
    busyIn = &pool_;
}

WorkerPool::BusyScope::Admission WorkerPool::AdmissionOfThisThread() const {
    return busyIn == this && busyWaits ? BusyScope::Admission::WaitForCore : BusyScope::Admission::Immediate;
}

// The count of busy threads and engaged helpers is read by waiting threads
// under lock_; whoever lowers it without the lock looks for waiters after
// (sequentially consistent on both sides), so no waiter sleeps through a
// freed core.
void WorkerPool::TakeCore() {
    NoteBusy(busyThreads_.fetch_add(1) + 1 + jobCores_.load());
}

void WorkerPool::WaitForCore() {
    std::unique_lock<std::mutex> guard(lock_);
    coreWaiters_.fetch_add(1);
    coreFreed_.wait(guard, [this] { return busyThreads_.load() + jobCores_.load() < Participants(); });
    coreWaiters_.fetch_sub(1);
    NoteBusy(busyThreads_.fetch_add(1) + 1 + jobCores_.load());
}

void WorkerPool::GiveCore() {
    busyThreads_.fetch_sub(1);
    CoreFreed();
}

void WorkerPool::CoreFreed() {
    if (coreWaiters_.load() == 0) return;
    std::lock_guard<std::mutex> guard(lock_);
    coreFreed_.notify_all();
}

void WorkerPool::NoteBusy(unsigned computing) {
    unsigned peak = peakBusy_.load();
    while (computing > peak && !peakBusy_.compare_exchange_weak(peak, computing)) {
    }
}

WorkerPool& WorkerPool::Shared() {
    static WorkerPool pool(std::thread::hardware_concurrency() > 1 ? std::thread::hardware_concurrency() - 1 : 0);
    return pool;
}

WorkerPool::WorkerPool(unsigned helpers) {
    for (unsigned h = 0; h < helpers; ++h) helpers_.emplace_back([this, h] { HelperLoop(h + 1); });
}

WorkerPool::~WorkerPool() {
    {
        std::lock_guard<std::mutex> guard(lock_);
        stopping_ = true;
        generation_.fetch_add(1, std::memory_order_release);
    }
    wake_.notify_all();
    for (std::thread& helper : helpers_) helper.join();
}

// Threads only sleep on the condition variables after spinning, and say so
// under the lock first, so a job or its end is signalled with a system call
// only when someone sleeps.
void WorkerPool::Run(unsigned parts, const Task& task) {
    if (parts <= 1 || helpers_.empty() || insidePart) return RunInline(parts, task);
    const unsigned callerCounted = busyIn == this ? 1 : 0;
    const unsigned othersBusy = busyThreads_.load(std::memory_order_relaxed) - callerCounted;
    if (othersBusy >= helpers_.size()) return RunInline(parts, task);
    std::unique_lock<std::mutex> job(jobLock_, std::try_to_lock);
    if (!job.owns_lock()) return RunInline(parts, task);

    bool wakeHelpers = false;
    {
        std::lock_guard<std::mutex> guard(lock_);
        // The helpers take the cores the busy threads leave free; a thread
        // admitted since the look above counts.
        const unsigned busy = busyThreads_.load() - callerCounted;
        const unsigned engaged = busy < helpers_.size() ? static_cast<unsigned>(helpers_.size()) - busy : 0;
        if (engaged == 0) {
            job.unlock();
        } else {
            engagedHelpers_.store(engaged);
            jobCores_.store(engaged + 1 - callerCounted);
            NoteBusy(busyThreads_.load() + jobCores_.load());
            task_ = &task;
            parts_ = parts;
            nextPart_.store(0, std::memory_order_relaxed);
            failure_ = nullptr;
            failed_.store(false, std::memory_order_relaxed);
            helpersBusy_.store(engaged, std::memory_order_relaxed);
            generation_.fetch_add(1, std::memory_order_release);
            wakeHelpers = sleepingHelpers_ > 0;
        }
    }
    if (!job.owns_lock()) return RunInline(parts, task);
    if (wakeHelpers) wake_.notify_all();
    TakeParts(0);

    for (int spin = 0; spin < kSpins && helpersBusy_.load(std::memory_order_acquire) != 0; ++spin) {
    }
    if (helpersBusy_.load(std::memory_order_acquire) != 0) {
        std::unique_lock<std::mutex> guard(lock_);
        callerSleeping_ = true;
        finished_.wait(guard, [this] { return helpersBusy_.load(std::memory_order_acquire) == 0; });
        callerSleeping_ = false;
    }
    jobCores_.store(0);
    engagedHelpers_.store(0);
    CoreFreed();
    if (failed_.load(std::memory_order_acquire)) std::rethrow_exception(failure_);
}

void WorkerPool::TakeParts(unsigned participant) {
    insidePart = true;
    for (unsigned part = nextPart_.fetch_add(1); part < parts_; part = nextPart_.fetch_add(1)) {
        RunPart(part, participant);
    }
    insidePart = false;
}

void WorkerPool::HelperLoop(unsigned participant) {
    std::uint64_t seen = 0;
    for (;;) {
        for (int spin = 0; spin < kSpins && generation_.load(std::memory_order_acquire) == seen; ++spin) {
        }
        {
            std::unique_lock<std::mutex> guard(lock_);
            ++sleepingHelpers_;
            wake_.wait(guard, [&] { return generation_.load(std::memory_order_acquire) != seen; });
            --sleepingHelpers_;
            seen = generation_.load(std::memory_order_relaxed);
            if (stopping_) return;
            // A job may leave some helpers out: the cores are taken.
            if (participant > engagedHelpers_.load()) continue;
        }
        TakeParts(participant);
        if (helpersBusy_.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            std::lock_guard<std::mutex> guard(lock_);
            if (callerSleeping_) finished_.notify_one();
        }
    }
}

}  // namespace pictora
