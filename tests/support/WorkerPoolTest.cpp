#include "support/WorkerPool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <new>
#include <mutex>
#include <condition_variable>
#include <chrono>
#include <future>
#include <thread>
#include <vector>

namespace pictora {
namespace {

// Jobs spread over the helpers only while fewer busy threads than helpers run
// besides the caller; the caller's own scope does not count against it.
TEST(WorkerPoolTest, BusyThreadsKeepJobsOnTheCaller) {
    WorkerPool pool(1);
    const auto spreads = [&pool] {
        std::atomic<bool> helped{false};
        for (int round = 0; round < 200 && !helped; ++round) {
            pool.Run(16, [&](unsigned, unsigned participant) {
                std::this_thread::sleep_for(std::chrono::microseconds(20));
                if (participant != 0) helped = true;
            });
        }
        return helped.load();
    };
    WorkerPool::BusyScope mine(pool);
    EXPECT_TRUE(spreads());
    std::mutex lock;
    std::condition_variable changed;
    bool busy = false;
    bool done = false;
    std::thread other([&] {
        WorkerPool::BusyScope theirs(pool);
        std::unique_lock<std::mutex> guard(lock);
        busy = true;
        changed.notify_all();
        changed.wait(guard, [&] { return done; });
    });
    {
        std::unique_lock<std::mutex> guard(lock);
        changed.wait(guard, [&] { return busy; });
    }
    EXPECT_FALSE(spreads());
    {
        std::lock_guard<std::mutex> guard(lock);
        done = true;
    }
    changed.notify_all();
    other.join();
    EXPECT_TRUE(spreads());
}

TEST(WorkerPoolTest, EveryPartRunsOnceAndNoParticipantRunsTwoAtOnce) {
    for (unsigned helpers : {0u, 1u, 3u}) {
        WorkerPool pool(helpers);
        ASSERT_EQ(pool.Participants(), helpers + 1);
        for (unsigned parts : {0u, 1u, 7u, 100u}) {
            std::vector<std::atomic<int>> runs(parts);
            std::vector<std::atomic<int>> busy(pool.Participants());
            std::atomic<bool> overlap{false};
            for (int round = 0; round < 50; ++round) {
                pool.Run(parts, [&](unsigned part, unsigned participant) {
                    if (busy.at(participant).fetch_add(1) != 0) overlap = true;
                    ++runs[part];
                    busy[participant].fetch_sub(1);
                });
            }
            for (unsigned part = 0; part < parts; ++part) EXPECT_EQ(runs[part].load(), 50);
            EXPECT_FALSE(overlap);
        }
    }
}

TEST(WorkerPoolTest, ARunInsideAPartOrBesideAnotherRunsOnItsCaller) {
    WorkerPool pool(2);
    std::atomic<int> inner{0};
    pool.Run(3, [&](unsigned, unsigned) {
        const std::thread::id self = std::this_thread::get_id();
        pool.Run(4, [&](unsigned, unsigned participant) {
            EXPECT_EQ(std::this_thread::get_id(), self);
            EXPECT_EQ(participant, 0u);
            ++inner;
        });
    });
    EXPECT_EQ(inner.load(), 12);

    std::atomic<long> total{0};
    auto caller = [&] {
        for (int round = 0; round < 300; ++round) pool.Run(5, [&](unsigned part, unsigned) { total += part; });
    };
    std::thread other(caller);
    caller();
    other.join();
    EXPECT_EQ(total.load(), 2L * 300 * 10);
}

TEST(WorkerPoolTest, AFailingPartOnAnyThreadIsThrownByRunAndThePoolGoesOn) {
    WorkerPool pool(1);
    for (unsigned failing : {0u, 1u}) {
        std::atomic<bool> failed{false};
        // Every part waits until the failing participant has run one, so both
        // participants take part whatever the scheduling.
        EXPECT_THROW(pool.Run(64,
                              [&](unsigned, unsigned participant) {
                                  if (participant == failing && !failed.exchange(true)) throw std::bad_alloc();
                                  while (!failed.load()) std::this_thread::yield();
                              }),
                     std::bad_alloc);
    }
    std::atomic<int> runs{0};
    pool.Run(10, [&](unsigned, unsigned) { ++runs; });
    EXPECT_EQ(runs.load(), 10);
}

// Counts how many threads are inside the counted stretch at once.
class Overlap {
public:
    void Enter() {
        const int now = ++inside_;
        int seen = most_.load();
        while (now > seen && !most_.compare_exchange_weak(seen, now)) {
        }
    }
    void Leave() { --inside_; }
    int Most() const { return most_.load(); }

private:
    std::atomic<int> inside_{0};
    std::atomic<int> most_{0};
};

// Counted by the threads themselves, not only by the pool.
TEST(WorkerPoolTest, ThreadsThatWaitForACoreNeverOutnumberTheCores) {
    WorkerPool pool(1);  // two cores
    Overlap overlap;
    std::vector<std::thread> threads;
    for (int t = 0; t < 6; ++t)
        threads.emplace_back([&] {
            for (int round = 0; round < 20; ++round) {
                WorkerPool::BusyScope core(pool, WorkerPool::BusyScope::Admission::WaitForCore);
                EXPECT_EQ(pool.AdmissionOfThisThread(), WorkerPool::BusyScope::Admission::WaitForCore);
                overlap.Enter();
                pool.Run(4, [](unsigned, unsigned) { std::this_thread::sleep_for(std::chrono::microseconds(50)); });
                overlap.Leave();
            }
        });
    for (std::thread& thread : threads) thread.join();
    EXPECT_GE(overlap.Most(), 1);
    EXPECT_LE(overlap.Most(), 2);
    EXPECT_LE(pool.PeakBusy(), 2u);
    EXPECT_EQ(pool.AdmissionOfThisThread(), WorkerPool::BusyScope::Admission::Immediate);
}

// While a thread only waits for another it leaves its core to it, and takes
// a core again only once one is free.
TEST(WorkerPoolTest, AThreadThatOnlyWaitsLeavesItsCoreToOthers) {
    WorkerPool pool(0);  // a single core
    std::promise<void> otherIn;
    std::promise<void> leavingIdle;
    std::atomic<bool> otherLeft{false};
    WorkerPool::BusyScope core(pool, WorkerPool::BusyScope::Admission::WaitForCore);
    std::thread other([&] {
        WorkerPool::BusyScope theirs(pool, WorkerPool::BusyScope::Admission::WaitForCore);
        otherIn.set_value();
        leavingIdle.get_future().wait();
        otherLeft = true;
    });
    {
        WorkerPool::IdleScope idle(pool);
        EXPECT_EQ(otherIn.get_future().wait_for(std::chrono::seconds(30)), std::future_status::ready);
        leavingIdle.set_value();
    }
    EXPECT_TRUE(otherLeft.load());
    other.join();
    EXPECT_EQ(pool.PeakBusy(), 1u);
}

}  // namespace
}  // namespace pictora
