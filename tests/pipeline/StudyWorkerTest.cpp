#include "pipeline/StudyWorker.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "common/Jobs.h"
#include "common/TempFolder.h"
#include "pipeline/ImageCompressor.h"
#include "pipeline/ReferenceStudy.h"

namespace pictora {
namespace {

using testing::TestData;

class StudyWorkerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(compressor_.LoadImage(TestData("photo500-tiger.png")));
        ASSERT_TRUE(compressor_.TrainAndCode(testing::MakeJob(ColorSpace::Rgb, 8, {1, 1, 1}, true)));
        source_ = std::make_shared<const RgbImage>(static_cast<const RgbImage&>(*compressor_.SourceImage().rgb));
        reconstruction_ = std::make_shared<const RgbImage>(compressor_.ReconstructedImage());
        studies_.SetReportSink([this](StudyReport report) {
            if (onReport_) onReport_();
            std::lock_guard lock(mutex_);
            reports_.push_back(std::move(report));
            arrived_.notify_all();
        });
    }
    // Waits for `count` reports, then until nothing is queued.
    void WaitFor(std::size_t count) {
        std::unique_lock lock(mutex_);
        arrived_.wait(lock, [&] { return reports_.size() >= count; });
        lock.unlock();
        while (!studies_.IsIdle()) std::this_thread::yield();
    }

    ImageCompressor compressor_;
    std::shared_ptr<const RgbImage> source_, reconstruction_;
    StudyWorker studies_;
    std::function<void()> onReport_;
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::vector<StudyReport> reports_;
};

// A study reads only what it is given: the compressor may go on meanwhile.
TEST_F(StudyWorkerTest, StudiesReportInTheOrderTheyWerePosted) {
    const std::uint64_t coded = compressor_.Rate().Total();
    const StepResult step = compressor_.Result(StepOrigin::TrainingStep, 1);
    studies_.Post({{StudyTask::ReferenceAtSize, ReferenceCodecKind::Webp, coded, 7}, source_, nullptr});
    studies_.Post({{StudyTask::ReconstructionSsimMap, ReferenceCodecKind::Jpeg, 0, 8}, source_, reconstruction_});
    ASSERT_TRUE(compressor_.TrainAndCode(testing::MakeJob(ColorSpace::Rgb, 4, {1, 1, 1}, true)));
    WaitFor(2);
    ASSERT_EQ(reports_.size(), 2u);
    ASSERT_TRUE(reports_[0].status) << reports_[0].status.message();
    const ReferenceAtSize& atSize = reports_[0].outcome.atSize;
    EXPECT_EQ(reports_[0].outcome.job.ticket, 7u);
    ASSERT_TRUE(atSize.fits);
    EXPECT_LE(atSize.figures.bytes, coded);
    EXPECT_EQ(atSize.decoded.width, 500);
    ASSERT_TRUE(atSize.ssimMap.has_value());
    EXPECT_EQ(atSize.ssimMap->columns, 490);
    // The reconstruction's map: its mean is the step's SSIM.
    const std::optional<SsimMap>& map = reports_[1].outcome.ssimMap;
    ASSERT_TRUE(map.has_value() && step.figures.similarity.ssim.has_value());
    double sum = 0.0;
    for (double value : map->values) sum += value;
    EXPECT_NEAR(sum / static_cast<double>(map->values.size()), *step.figures.similarity.ssim, 1e-9);
}

TEST_F(StudyWorkerTest, AStudyWithoutAnImageFails) {
    studies_.Post({{StudyTask::ReferenceLadders, ReferenceCodecKind::Jpeg, 0, 1}, nullptr, nullptr});
    WaitFor(1);
    ASSERT_EQ(reports_.size(), 1u);
    EXPECT_FALSE(reports_[0].status);
    EXPECT_TRUE(reports_[0].outcome.curves.empty());
}

// Cancelling drops what waits: the ladders queued behind the map never run.
TEST_F(StudyWorkerTest, CancellingDropsTheQueuedStudies) {
    onReport_ = [this] { studies_.CancelAll(); };
    studies_.Post({{StudyTask::ReconstructionSsimMap, ReferenceCodecKind::Jpeg, 0, 1}, source_, reconstruction_});
    studies_.Post({{StudyTask::ReferenceLadders, ReferenceCodecKind::Jpeg, 0, 1}, source_, nullptr});
    WaitFor(1);
    ASSERT_EQ(reports_.size(), 1u);
    EXPECT_EQ(reports_[0].outcome.job.task, StudyTask::ReconstructionSsimMap);
}

TEST_F(StudyWorkerTest, LaddersGiveUpOnceStoppedAndKeepTheCurvesTheyHad) {
    const std::atomic<bool> stop{true};
    std::vector<ReferenceCurve> curves(1);
    EXPECT_TRUE(EncodeReferenceLadders(*source_, &stop, curves));
    EXPECT_EQ(curves.size(), 1u);
}

// Destroying the worker mid-study neither waits for the study to end nor
// reports it.
TEST_F(StudyWorkerTest, DestroyingMidStudyGivesItUp) {
    auto studies = std::make_unique<StudyWorker>();
    bool reported = false;
    studies->SetReportSink([&](StudyReport) { reported = true; });
    studies->Post({{StudyTask::ReferenceLadders, ReferenceCodecKind::Jpeg, 0, 1}, source_, nullptr});
    studies.reset();
    EXPECT_FALSE(reported);
}

}  // namespace
}  // namespace pictora
