#include "support/OwnThreads.h"

#include <exception>
#include <thread>
#include <vector>

#include "support/WorkerPool.h"

namespace pictora {

void RunOnOwnThreads(unsigned count, const std::function<void(unsigned task)>& task) {
    std::vector<std::exception_ptr> failures(count);
    const auto run = [&](unsigned t) {
        WorkerPool::SerialScope serial;
        try {
            task(t);
        } catch (...) {
            failures[t] = std::current_exception();
        }
    };
    std::vector<std::thread> threads;
    threads.reserve(count);
    try {
        for (unsigned t = 1; t < count; ++t) threads.emplace_back(run, t);
    } catch (...) {
        // No thread to be had: the tasks not started run here, in turn.
        for (unsigned t = static_cast<unsigned>(threads.size()) + 1; t < count; ++t) run(t);
    }
    if (count > 0) run(0);
    for (std::thread& thread : threads) thread.join();
    for (const std::exception_ptr& failure : failures) {
        if (failure) std::rethrow_exception(failure);
    }
}

}  // namespace pictora
