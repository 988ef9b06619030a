#include "support/OwnThreads.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <exception>
#include <thread>
#include <vector>

#include "support/WorkerPool.h"

namespace pictora {
namespace {

// A few steps of nice below the thread that starts the tasks: enough for the
// scheduler to favour the other threads. The step is relative: a program run
// under `nice` keeps its yielding threads below its own, and a set value
// would even raise them above a caller running at more than it.
constexpr int kYieldingNiceStep = 5;
constexpr int kLowestNice = 19;

// A new thread starts at the nice value of the thread that made it.
void LowerThisThreadsPriority() {
    const id_t thread = static_cast<id_t>(gettid());
    errno = 0;
    const int inherited = getpriority(PRIO_PROCESS, thread);
    if (errno != 0) return;
    (void)setpriority(PRIO_PROCESS, thread, std::min(kLowestNice, inherited + kYieldingNiceStep));
}

}  // namespace

void RunOnOwnThreads(unsigned count, const std::function<void(unsigned task)>& task, TaskPriority priority) {
    std::vector<std::exception_ptr> failures(count);
    const bool yielding = priority == TaskPriority::Yielding;
    WorkerPool& pool = WorkerPool::Shared();
    // Threads started from one that waited for its core wait for theirs.
    const WorkerPool::BusyScope::Admission admission = pool.AdmissionOfThisThread();
    const auto run = [&](unsigned t, bool newThread) {
        WorkerPool::BusyScope busy(pool, newThread ? admission : WorkerPool::BusyScope::Admission::Immediate);
        // Linux gives each thread a nice value of its own. A thread that
        // cannot lower its priority still runs its task.
        if (yielding && newThread) LowerThisThreadsPriority();
        try {
            task(t);
        } catch (...) {
            failures[t] = std::current_exception();
        }
    };
    // The caller takes task 0, unless its priority must stay as it is.
    const unsigned first = yielding ? 0 : 1;
    std::vector<std::thread> threads;
    threads.reserve(count);
    unsigned started = first;
    try {
        for (; started < count; ++started) threads.emplace_back(run, started, true);
    } catch (...) {
        // No thread to be had: the tasks not started run here, in turn, at
        // the caller's own priority.
        for (unsigned t = started; t < count; ++t) run(t, false);
    }
    if (first == 1 && count > 0) run(0, false);
    {
        // Waiting for the others, the caller leaves its core to them.
        WorkerPool::IdleScope waiting(pool);
        for (std::thread& thread : threads) thread.join();
    }
    for (const std::exception_ptr& failure : failures) {
        if (failure) std::rethrow_exception(failure);
    }
}

}  // namespace pictora
