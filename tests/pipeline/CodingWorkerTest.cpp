#include "pipeline/CodingWorker.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <utility>
#include <vector>

#include "common/Jobs.h"
#include "common/TempFolder.h"
#include "pipeline/ImageCompressor.h"
#include "pipeline/ResultFiles.h"
#include "support/FileIO.h"

namespace pictora {
namespace {

using testing::TempFolder;
using testing::TestData;

RunSettings Settings(LosslessMode lossless = LosslessMode::None, std::uint32_t side = 4) {
    return {testing::MakeJob(ColorSpace::Rgb, side, {0, 0, 0}, false), lossless, MeasureSet::All};
}

TrainStepRequest NewRun(ChannelSteps steps, LosslessMode lossless = LosslessMode::None, std::uint32_t side = 4) {
    return {Settings(lossless, side), true, steps};
}

// Collects the outcomes the worker hands over; `onOutcome` runs on the
// worker's thread before the outcome is counted as taken.
class WorkerTest : public ::testing::Test {
protected:
    void SetUp() override {
        worker_.SetOutcomeSink([this](WorkerOutcome outcome) {
            if (onOutcome_) onOutcome_(outcome);
            {
                std::lock_guard lock(mutex_);
                outcomes_.push_back(std::move(outcome));
            }
            worker_.OutcomeTaken();
            arrived_.notify_all();
        });
    }
    // Waits until `count` outcomes have come and the worker is idle.
    const std::vector<WorkerOutcome>& WaitFor(std::size_t count) {
        std::unique_lock lock(mutex_);
        arrived_.wait(lock, [&] { return outcomes_.size() >= count; });
        lock.unlock();
        worker_.WaitForIdle();
        return outcomes_;
    }
    const StepOutcome& Step(std::size_t i) { return std::get<StepOutcome>(outcomes_.at(i)); }
    const FileOutcome& File(std::size_t i) { return std::get<FileOutcome>(outcomes_.at(i)); }

    ImageCompressor compressor_;
    std::function<void(const WorkerOutcome&)> onOutcome_;
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::vector<WorkerOutcome> outcomes_;
    // Last, so that it is destroyed first: its thread, which runs the sink
    // above, ends before what the sink touches is gone.
    CodingWorker worker_{compressor_};
};

// The owner posts the next step once it has an outcome, as the form does,
// until the run has no steps left; every outcome carries its pictures.
TEST_F(WorkerTest, ARunGoesOnStepByStepUntilNoStepsAreLeft) {
    ASSERT_TRUE(compressor_.LoadImage(TestData("photo64-a.png")));
    onOutcome_ = [this](const WorkerOutcome& outcome) {
        if (std::get<StepOutcome>(outcome).stepsRemain) worker_.Post(TrainStepRequest{Settings(), false, {}});
    };
    worker_.Start();
    worker_.Post(NewRun({3, 1, 2}));
    WaitFor(3);
    ASSERT_EQ(outcomes_.size(), 3u);
    EXPECT_EQ(Step(0).stepsLeft, (ChannelSteps{2, 0, 1}));
    EXPECT_EQ(Step(2).stepsLeft, (ChannelSteps{0, 0, 0}));
    EXPECT_FALSE(Step(2).stepsRemain);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_TRUE(Step(i).status);
        ASSERT_TRUE(Step(i).pictures.reconstruction);
        EXPECT_EQ(Step(i).pictures.reconstruction->width, 64);
        ASSERT_TRUE(Step(i).pictures.masks.has_value());
    }
    // Each snapshot is the reconstruction as it was after its step.
    EXPECT_FALSE(Step(0).pictures.reconstruction->red == Step(2).pictures.reconstruction->red);
    EXPECT_EQ(Step(2).pictures.reconstruction->red, compressor_.ReconstructedImage().red);
    EXPECT_NE(Step(0).result.codedBytes, 0u);
}

TEST_F(WorkerTest, AResumedRunTakesTheStepsItIsGiven) {
    ASSERT_TRUE(compressor_.LoadImage(TestData("photo64-b.png")));
    worker_.Start();
    worker_.Post(NewRun({5, 5, 5}));
    WaitFor(1);
    worker_.Post(TrainStepRequest{Settings(), false, ChannelSteps{1, 0, 0}});
    WaitFor(2);
    EXPECT_EQ(Step(1).stepsLeft, (ChannelSteps{0, 0, 0}));
    EXPECT_FALSE(Step(1).stepsRemain);
}

TEST_F(WorkerTest, TwoStepsPostedBeforeTheWorkerWakesRunOnceWithTheSecond) {
    ASSERT_TRUE(compressor_.LoadImage(TestData("photo64-b.png")));
    worker_.Post(NewRun({1, 1, 1}, LosslessMode::None, 2));
    worker_.Post(NewRun({1, 1, 1}, LosslessMode::None, 8));
    worker_.Start();
    WaitFor(1);
    EXPECT_EQ(outcomes_.size(), 1u);
    EXPECT_EQ(compressor_.Channel(0).Dimension(), 64u);
}

// Until the owner has taken an outcome in, a file command would slip in
// between two steps of a run: it is refused, and taken once the owner has.
TEST_F(WorkerTest, FileCommandsWaitForTheOwnerToTakeTheOutcomeIn) {
    ASSERT_TRUE(compressor_.LoadImage(TestData("photo64-c.png")));
    ASSERT_TRUE(compressor_.TrainAndCode(testing::MakeJob(ColorSpace::Rgb, 8, {1, 1, 1}, true)));
    TempFolder folder;
    ASSERT_TRUE(compressor_.WriteCodedFile(folder.File("c.mqc")));
    bool refusedInside = false;
    onOutcome_ = [&](const WorkerOutcome&) { refusedInside = !worker_.Post(DecodeFileRequest{folder.File("c.mqc")}); };
    worker_.Start();
    ASSERT_TRUE(worker_.Post(DecodeFileRequest{folder.File("c.mqc")}));
    WaitFor(1);
    EXPECT_TRUE(refusedInside);
    onOutcome_ = nullptr;
    ASSERT_TRUE(worker_.Post(DecodeFileRequest{folder.File("c.mqc")}));
    WaitFor(2);
    EXPECT_TRUE(File(1).status);
    EXPECT_EQ(File(1).files, std::vector<std::string>{folder.File("c.mqc")});
    EXPECT_EQ(File(1).result.origin, StepOrigin::DecodedFile);
}

// Any path is taken, however long; a file that cannot be read is answered
// with a message that names it.
TEST_F(WorkerTest, RefusedFilesAnswerAndNameTheFile) {
    TempFolder folder;
    const std::string longName = folder.File(std::string(250, 'y') + ".huf");  // longer than 256 with its folder
    worker_.Start();
    ASSERT_TRUE(worker_.Post(DecodeFileRequest{folder.File("absent.mqc")}));
    WaitFor(1);
    ASSERT_TRUE(worker_.Post(ApplyCodebookRequest{folder.File("absent.cod")}));
    WaitFor(2);
    ASSERT_TRUE(worker_.Post(DecodeFileRequest{longName}));
    WaitFor(3);
    for (std::size_t i = 0; i < 3; ++i) EXPECT_FALSE(File(i).status);
    EXPECT_NE(File(0).status.message().find("absent.mqc"), std::string::npos);
    EXPECT_EQ(File(1).result.origin, StepOrigin::AppliedCodebook);
    EXPECT_NE(File(2).status.message().find(longName), std::string::npos);
}

// Every lossless stage is measured after a step and opened again in memory;
// a damaged file is refused with the networks kept.
TEST_F(WorkerTest, LosslessStagesAreMeasuredAndOpenedInMemory) {
    ASSERT_TRUE(compressor_.LoadImage(TestData("photo64-d.png")));
    worker_.Start();
    worker_.Post(NewRun({1, 1, 1}, LosslessMode::Contextual));
    WaitFor(1);
    EXPECT_GT(Step(0).result.losslessRatio, 0.0);
    EXPECT_LT(Step(0).result.losslessRatio, 1.0);
    std::vector<std::uint8_t> before;
    ASSERT_TRUE(compressor_.EncodeCodedImage(before));
    TempFolder folder;
    std::size_t count = 1;
    for (auto [kind, name] : {std::pair{ResultFileKind::Huffman, "d.huf"}, std::pair{ResultFileKind::Arithmetic, "d.art"},
                              std::pair{ResultFileKind::Contextual, "d.mqz"}}) {
        ASSERT_TRUE(WriteResultFile(compressor_, kind, folder.File(name)));
        std::vector<std::uint8_t> bytes;
        ASSERT_TRUE(ReadWholeFile(folder.File(name), bytes));
        bytes[bytes.size() / 2] ^= 0x10;
        ASSERT_TRUE(WriteFileAtomically(folder.File(std::string("bad-") + name), bytes));
        ASSERT_TRUE(worker_.Post(DecodeFileRequest{folder.File(std::string("bad-") + name)}));
        WaitFor(++count);
        std::vector<std::uint8_t> after;
        ASSERT_TRUE(compressor_.EncodeCodedImage(after));
        EXPECT_EQ(after, before) << name;
        ASSERT_TRUE(worker_.Post(DecodeFileRequest{folder.File(name)}));
        WaitFor(++count);
        EXPECT_TRUE(File(count - 1).status) << File(count - 1).status.message();
        ASSERT_TRUE(compressor_.EncodeCodedImage(after));
        EXPECT_EQ(after, before) << name;
    }
}

// A PNG is read on the worker: the outcome carries a copy of it, its
// planes derived for the pictures, and a file that cannot be read leaves the
// image loaded before.
TEST_F(WorkerTest, AnImageLoadsOnTheWorkerAndARefusedOneKeepsTheImageBefore) {
    ImageCompressor reference;
    ASSERT_TRUE(reference.LoadImage(TestData("photo64-a.png")));
    worker_.Start();
    ASSERT_TRUE(worker_.Post(LoadImageRequest{TestData("photo64-a.png")}));
    WaitFor(1);
    const auto& loaded = std::get<LoadOutcome>(outcomes_.at(0));
    ASSERT_TRUE(loaded.status);
    EXPECT_EQ(loaded.path, TestData("photo64-a.png"));
    EXPECT_EQ(loaded.width, 64);
    EXPECT_EQ(loaded.height, 64);
    ASSERT_TRUE(loaded.source);
    EXPECT_EQ(loaded.source->red, reference.SourceImage().rgb->red);
    EXPECT_EQ(loaded.source->blue, reference.SourceImage().rgb->blue);
    EXPECT_NE(loaded.source.get(), compressor_.SourceImage().rgb.get());  // its own, not the worker's
    EXPECT_TRUE(compressor_.SourceImage().HasYCbCrPlanes());

    ASSERT_TRUE(worker_.Post(LoadImageRequest{TestData("refuse/palette-64.png")}));
    WaitFor(2);
    const auto& refused = std::get<LoadOutcome>(outcomes_.at(1));
    EXPECT_FALSE(refused.status);
    EXPECT_FALSE(refused.source);
    EXPECT_NE(refused.status.message().find("palette-64.png"), std::string::npos);
    EXPECT_TRUE(compressor_.IsImageLoaded());
    EXPECT_EQ(compressor_.SourceImage().rgb->red, reference.SourceImage().rgb->red);
}

// Saving runs on the worker too: the file holds what the compressor codes,
// and one that cannot be written comes back as a failure naming it.
TEST_F(WorkerTest, AResultIsSavedOnTheWorkerAndAFailureComesBack) {
    ASSERT_TRUE(compressor_.LoadImage(TestData("photo64-b.png")));
    ASSERT_TRUE(compressor_.TrainAndCode(testing::MakeJob(ColorSpace::Rgb, 8, {1, 1, 1}, true)));
    TempFolder folder;
    worker_.Start();
    ASSERT_TRUE(worker_.Post(SaveResultRequest{ResultFileKind::Coded, folder.File("b.mqc")}));
    WaitFor(1);
    EXPECT_TRUE(std::get<SaveOutcome>(outcomes_.at(0)).status);
    std::vector<std::uint8_t> saved, coded;
    ASSERT_TRUE(ReadWholeFile(folder.File("b.mqc"), saved));
    ASSERT_TRUE(compressor_.EncodeCodedImage(coded));
    EXPECT_EQ(saved, coded);

    ASSERT_TRUE(worker_.Post(SaveResultRequest{ResultFileKind::Png, folder.File("missing/b.png")}));
    WaitFor(2);
    const auto& failed = std::get<SaveOutcome>(outcomes_.at(1));
    EXPECT_FALSE(failed.status);
    EXPECT_EQ(failed.path, folder.File("missing/b.png"));
    EXPECT_NE(failed.status.message().find("b.png"), std::string::npos);
}

// A load or save posted while a step runs (here, from the step's own
// progress report) is refused: it would replace or read the image the step
// is coding.
TEST_F(WorkerTest, ALoadOrSavePostedWhileAStepRunsIsRefused) {
    ASSERT_TRUE(compressor_.LoadImage(TestData("photo64-c.png")));
    TempFolder folder;
    bool asked = false, loadTaken = false, saveTaken = false;
    compressor_.SetProgress([&](int, const char*, std::uint32_t, std::uint32_t) {
        if (asked) return;
        asked = true;
        loadTaken = worker_.Post(LoadImageRequest{TestData("photo64-a.png")});
        saveTaken = worker_.Post(SaveResultRequest{ResultFileKind::Coded, folder.File("c.mqc")});
    });
    worker_.Start();
    worker_.Post(NewRun({1, 1, 1}));
    WaitFor(1);
    EXPECT_TRUE(asked);
    EXPECT_FALSE(loadTaken);
    EXPECT_FALSE(saveTaken);
    EXPECT_EQ(outcomes_.size(), 1u);
    EXPECT_EQ(FileSize(folder.File("c.mqc")), std::int64_t(-1));
}

TEST(WorkerLifetimeTest, DestroyingTheWorkerMidRunEndsAfterTheStepInProgress) {
    ImageCompressor compressor;
    ASSERT_TRUE(compressor.LoadImage(TestData("photo64-a.png")));
    std::mutex mutex;
    std::condition_variable arrived;
    int steps = 0;
    {
        CodingWorker worker(compressor);
        worker.SetOutcomeSink([&](WorkerOutcome) {
            {
                std::lock_guard lock(mutex);
                ++steps;
            }
            arrived.notify_all();
            worker.OutcomeTaken();
            worker.Post(TrainStepRequest{Settings(), false, ChannelSteps{1, 1, 1}});  // an endless run
        });
        worker.Start();
        worker.Post(NewRun({1, 1, 1}));
        std::unique_lock lock(mutex);
        arrived.wait(lock, [&] { return steps > 0; });
    }  // joined: the sink is never called again
    const int afterStop = steps;
    EXPECT_GE(afterStop, 1);
}

}  // namespace
}  // namespace pictora
