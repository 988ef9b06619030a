#include <gtest/gtest.h>

#include <filesystem>
#include <numeric>

#include "common/TempFolder.h"
#include "study/SweepCollection.h"
#include "study/SweepRunner.h"
#include "support/WorkerPool.h"

namespace pictora {
namespace {

using testing::TempFolder;
using testing::TestData;

// Jobs run at once on threads of their own, each training its three channels
// on threads of theirs: the pool's count of threads computing at once (busy
// threads and helpers running parts) never passes the cores, whatever
// concurrency is asked for.
TEST(SweepRunnerTest, NoMoreThreadsComputeAtOnceThanThereAreCores) {
    TempFolder folder;
    SweepDefinition sweep;
    sweep.images = {TestData("photo64-a.png"), TestData("photo64-b.png")};
    sweep.grid.blockSides = {2, 4};
    sweep.grid.radii = {0.05, 0.1};
    sweep.steps = 2;
    sweep.codecs = {ReferenceCodecKind::Webp};
    sweep.outputFolder = folder.File("out");
    SweepJobList list;
    ASSERT_TRUE(ListSweepJobs(sweep, list));
    std::filesystem::create_directories(PartsFolder(list));
    std::vector<std::size_t> jobs(list.jobs.size());
    std::iota(jobs.begin(), jobs.end(), std::size_t{0});

    WorkerPool& pool = WorkerPool::Shared();
    pool.ResetPeakBusy();
    SweepRunOutcome outcome;
    ASSERT_TRUE(RunSweepJobs(list, jobs, static_cast<unsigned>(jobs.size()), {}, outcome));
    EXPECT_EQ(outcome.finished, jobs.size());
    EXPECT_TRUE(PendingJobs(list).empty());
    EXPECT_GE(pool.PeakBusy(), 1u);
    EXPECT_LE(pool.PeakBusy(), pool.Participants());
}

}  // namespace
}  // namespace pictora
