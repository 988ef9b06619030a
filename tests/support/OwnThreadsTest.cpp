#include "support/OwnThreads.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

#include "support/WorkerPool.h"

namespace pictora {
namespace {

// Every task waits until all have started: tasks run one after another would
// time out instead. While the others still run, a task's pool job stays on
// its own thread (the others keep the cores busy); afterwards the caller's
// jobs spread again.
TEST(OwnThreadsTest, TasksRunAtOnceEachOnItsThreadAndLeaveThePoolToThemselves) {
    constexpr unsigned kTasks = 3;
    std::mutex lock;
    std::condition_variable changed;
    unsigned arrived = 0;
    unsigned jobsDone = 0;
    bool allMet = true;
    std::set<std::thread::id> threads;
    std::atomic<bool> jobsStayed{true};
    const auto meet = [&](unsigned& count) {
        std::unique_lock<std::mutex> guard(lock);
        ++count;
        changed.notify_all();
        allMet = changed.wait_for(guard, std::chrono::seconds(20), [&] { return count == kTasks; }) && allMet;
    };
    RunOnOwnThreads(kTasks, [&](unsigned) {
        {
            std::lock_guard<std::mutex> guard(lock);
            threads.insert(std::this_thread::get_id());
        }
        meet(arrived);
        const std::thread::id own = std::this_thread::get_id();
        WorkerPool::Shared().Run(4, [&](unsigned, unsigned participant) {
            if (std::this_thread::get_id() != own || participant != 0) jobsStayed = false;
        });
        meet(jobsDone);
    });
    EXPECT_TRUE(allMet);
    EXPECT_EQ(threads.size(), kTasks);
    EXPECT_TRUE(threads.count(std::this_thread::get_id()));
    EXPECT_TRUE(jobsStayed);
    if (WorkerPool::Shared().Participants() < 2) return;
    std::set<unsigned> participants;
    std::mutex seen;
    for (int round = 0; round < 200 && participants.size() < 2; ++round) {
        WorkerPool::Shared().Run(64, [&](unsigned, unsigned participant) {
            std::this_thread::sleep_for(std::chrono::microseconds(20));
            std::lock_guard<std::mutex> guard(seen);
            participants.insert(participant);
        });
    }
    EXPECT_GE(participants.size(), 2u);
}

// Yielding tasks all run on threads of their own at a lower priority; the
// caller's stays as it was.
// From a thread that waited for its core the tasks wait for theirs: they
// never outnumber the cores, and the caller leaves its own to them while it
// waits for them.
TEST(OwnThreadsTest, TasksFromAThreadThatWaitedForItsCoreKeepToTheCores) {
    WorkerPool& pool = WorkerPool::Shared();
    std::atomic<int> inside{0};
    std::atomic<int> most{0};
    std::atomic<unsigned> ran{0};
    std::thread caller([&] {
        WorkerPool::BusyScope core(pool, WorkerPool::BusyScope::Admission::WaitForCore);
        RunOnOwnThreads(6, [&](unsigned) {
            const int now = ++inside;
            int seen = most.load();
            while (now > seen && !most.compare_exchange_weak(seen, now)) {
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            --inside;
            ++ran;
        });
    });
    caller.join();
    EXPECT_EQ(ran.load(), 6u);
    EXPECT_GE(most.load(), 1);
    EXPECT_LE(most.load(), static_cast<int>(pool.Participants()));
}

// The nices of three yielding tasks started from a thread running at
// `callerNice` (or at its own nice when negative), and that thread's nice after.
struct YieldingNices {
    int caller = 0;
    std::vector<int> tasks;
    std::size_t threads = 0;
    bool ranOnCaller = false;
    int callerAfter = 0;
};

YieldingNices RunYieldingFrom(int callerNice) {
    YieldingNices seen;
    // A thread of its own: raising its nice must not slow the other tests.
    std::thread caller([&] {
        const id_t self = static_cast<id_t>(gettid());
        if (callerNice >= 0) (void)setpriority(PRIO_PROCESS, self, callerNice);
        seen.caller = getpriority(PRIO_PROCESS, self);
        std::mutex lock;
        std::set<std::thread::id> threads;
        RunOnOwnThreads(
            3,
            [&](unsigned) {
                const int nice = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
                std::lock_guard<std::mutex> guard(lock);
                seen.tasks.push_back(nice);
                threads.insert(std::this_thread::get_id());
            },
            TaskPriority::Yielding);
        seen.threads = threads.size();
        seen.ranOnCaller = threads.count(std::this_thread::get_id()) != 0;
        seen.callerAfter = getpriority(PRIO_PROCESS, self);
    });
    caller.join();
    return seen;
}

TEST(OwnThreadsTest, YieldingTasksRunBelowTheCallersPriority) {
    // At the caller's own nice, and at a nice of 5 like `nice -n 5 ctest`:
    // the tasks run a few steps lower than the caller either way.
    for (int callerNice : {-1, 5}) {
        const YieldingNices seen = RunYieldingFrom(callerNice);
        SCOPED_TRACE(seen.caller);
        EXPECT_EQ(seen.threads, 3u);
        EXPECT_FALSE(seen.ranOnCaller);
        ASSERT_EQ(seen.tasks.size(), 3u);
        // A caller already at the lowest priority leaves nothing below it.
        for (int nice : seen.tasks) EXPECT_GT(nice, std::min(seen.caller, 18));
        EXPECT_EQ(seen.callerAfter, seen.caller);
    }
}

TEST(OwnThreadsTest, EveryTaskEndsAndTheLowestFailureIsThrown) {
    std::vector<int> finished(4, 0);
    try {
        RunOnOwnThreads(4, [&](unsigned task) {
            if (task == 1) throw std::runtime_error("one");
            if (task == 3) throw std::runtime_error("three");
            finished[task] = 1;
        });
        FAIL() << "no exception";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "one");
    }
    EXPECT_EQ(finished, (std::vector<int>{1, 0, 1, 0}));
}

}  // namespace
}  // namespace pictora
