#include "pipeline/MqKohonenThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include "common/Jobs.h"
#include "common/TempFolder.h"
#include "pipeline/ImageCompressor.h"
#include "pipeline/ResultFiles.h"
#include "support/FileIO.h"
#include "support/TemporaryFolder.h"

namespace pictora {
namespace {

using testing::TempFolder;
using testing::TestData;

TrainingJob Job(std::uint32_t passes, bool restart, std::uint32_t side = 8) {
    return testing::MakeJob(ColorSpace::Rgb, side, {passes, passes, passes}, restart);
}

// Records every completion; `onMessage` may post the next command.
struct Recorder {
    std::mutex mutex;
    std::vector<int> messages;
    std::vector<int> neuronCounts;
    std::vector<bool> succeeded;

    std::vector<int> Messages() {
        std::lock_guard lock(mutex);
        return messages;
    }
};

class WorkerTest : public ::testing::Test {
protected:
    void Install(std::function<void(int)> extra = nullptr) {
        worker_.SetCompletionHandler([this, extra](int message) {
            {
                std::lock_guard lock(recorder_.mutex);
                recorder_.messages.push_back(message);
                recorder_.neuronCounts.push_back(compressor_.GetNeuronCount(-1));
                recorder_.succeeded.push_back(worker_.LastStatus().ok());
            }
            if (extra) extra(message);
        });
    }

    ImageCompressor compressor_;
    MqKohonenThread worker_{&compressor_};
    Recorder recorder_;
};

TEST_F(WorkerTest, AChainOfStepsPostedFromTheHandlerRunsToTheEnd) {
    ASSERT_TRUE(compressor_.LoadImage(TestData("photo64-a.png")));
    int stepsLeft = 4;
    Install([&](int) {
        if (--stepsLeft > 0) worker_.StartTrainingJob(Job(1, false, 4), LosslessMode::None);
    });
    worker_.Start();
    worker_.StartTrainingJob(Job(1, true, 4), LosslessMode::None);
    while (recorder_.Messages().size() < 4) worker_.WaitForIdle();
    worker_.WaitForIdle();
    EXPECT_EQ(recorder_.Messages(), (std::vector<int>{1125, 1125, 1125, 1125}));
    EXPECT_EQ(worker_.EntropyRatio(), 0.0);
    EXPECT_GT(compressor_.GetNeuronCount(-1), 0);
}

TEST_F(WorkerTest, TwoPostsBeforeTheWorkerWakesRunOnceWithTheSecond) {
    ASSERT_TRUE(compressor_.LoadImage(TestData("photo64-b.png")));
    Install();
    worker_.StartTrainingJob(Job(1, true, 2), LosslessMode::None);
    worker_.StartTrainingJob(Job(1, true, 8), LosslessMode::None);
    worker_.Start();
    worker_.WaitForIdle();
    EXPECT_EQ(recorder_.Messages().size(), 1u);
    EXPECT_EQ(compressor_.Channel(0).Dimension(), 64u);
}

TEST_F(WorkerTest, AJobWithoutAnImageStillAnswers) {
    Install();
    worker_.Start();
    worker_.StartTrainingJob(Job(1, true), LosslessMode::Huffman);
    worker_.WaitForIdle();
    EXPECT_EQ(recorder_.Messages(), std::vector<int>{1125});
    EXPECT_EQ(worker_.EntropyRatio(), 0.0);  // nothing to code: measured as 0, not a crash
}

TEST_F(WorkerTest, FileCommandsAreRefusedWhileAnotherRunsAndAcceptedAfter) {
    ASSERT_TRUE(compressor_.LoadImage(TestData("photo64-c.png")));
    ASSERT_TRUE(compressor_.TrainAndCode(Job(1, true)));
    TempFolder folder;
    ASSERT_TRUE(compressor_.WriteCodedFile(folder.File("c.mqc")));
    std::atomic<bool> refusedInside{false};
    Install([&](int message) {
        if (message == 1126) refusedInside = !worker_.StartDecode(folder.File("c.mqc"));
    });
    worker_.Start();
    ASSERT_TRUE(worker_.StartDecode(folder.File("c.mqc")));
    worker_.WaitForIdle();
    EXPECT_TRUE(refusedInside);
    ASSERT_TRUE(worker_.StartDecode(folder.File("c.mqc")));
    worker_.WaitForIdle();
    EXPECT_EQ(recorder_.Messages(), (std::vector<int>{1126, 1126}));
    EXPECT_EQ(worker_.LastCommand(), MqKohonenThread::kDecode);
}

TEST_F(WorkerTest, RefusedFilesStillAnswerAndSayWhy) {
    TempFolder folder;
    Install();
    worker_.Start();
    ASSERT_TRUE(worker_.StartDecode(folder.File("absent.mqc")));
    worker_.WaitForIdle();
    ASSERT_TRUE(worker_.StartApplyCodebook(folder.File("absent.cod")));
    worker_.WaitForIdle();
    ASSERT_TRUE(worker_.StartHuffmanDecode(folder.File("absent.huf")));
    worker_.WaitForIdle();
    EXPECT_EQ(recorder_.Messages(), (std::vector<int>{1126, 1126, 1126}));
    EXPECT_EQ(recorder_.succeeded, (std::vector<bool>{false, false, false}));
    EXPECT_NE(worker_.LastStatus().message().find("absent.huf"), std::string::npos);
}

TEST_F(WorkerTest, PathsThatDoNotFitAreRefused) {
    Install();
    worker_.Start();
    const std::string longPath(MqKohonenThread::kPathCapacity, 'x');
    EXPECT_FALSE(worker_.StartDecode(longPath));
    EXPECT_FALSE(worker_.StartApplyCodebooks({"a", longPath, "c"}, {1, 1, 1}));
    EXPECT_TRUE(worker_.IsIdle());
    // The refusal took no token.
    TempFolder folder;
    EXPECT_TRUE(worker_.StartDecode(folder.File("absent.mqc")));
    worker_.WaitForIdle();
}

TEST_F(WorkerTest, TheLosslessStageIsMeasuredAfterEachStep) {
    ASSERT_TRUE(compressor_.LoadImage(TestData("photo64-d.png")));
    std::vector<double> ratios;
    Install([&](int) { ratios.push_back(worker_.EntropyRatio()); });
    worker_.Start();
    for (LosslessMode mode : {LosslessMode::Huffman, LosslessMode::Arithmetic, LosslessMode::None}) {
        worker_.StartTrainingJob(Job(1, mode == LosslessMode::Huffman, 4), mode);
        worker_.WaitForIdle();
    }
    ASSERT_EQ(ratios.size(), 3u);
    EXPECT_GT(ratios[0], 0.0);
    EXPECT_GT(ratios[1], 0.0);
    EXPECT_EQ(ratios[2], 0.0);
}

// The contextual stage is measured and opened in memory: it leaves no
// temporary file behind, and a damaged .mqz is refused with the state kept.
TEST_F(WorkerTest, TheContextualStageWorksInMemory) {
    std::string codedTemporary;
    ASSERT_TRUE(TemporaryFilePath("temporario.mqc", codedTemporary));
    std::remove(codedTemporary.c_str());
    ASSERT_TRUE(compressor_.LoadImage(TestData("photo64-d.png")));
    std::vector<double> ratios;
    Install([&](int message) {
        if (message == 1125) ratios.push_back(worker_.EntropyRatio());
    });
    worker_.Start();
    worker_.StartTrainingJob(Job(1, true, 4), LosslessMode::Contextual);
    worker_.WaitForIdle();
    ASSERT_EQ(ratios.size(), 1u);
    EXPECT_GT(ratios[0], 0.0);
    EXPECT_LT(ratios[0], 1.0);
    EXPECT_EQ(worker_.LastResult().losslessRatio, ratios[0]);
    EXPECT_FALSE(std::filesystem::exists(codedTemporary));

    TempFolder folder;
    ASSERT_TRUE(WriteResultFile(compressor_, ResultFileKind::Contextual, folder.File("d.mqz")));
    std::vector<std::uint8_t> before, bytes;
    ASSERT_TRUE(compressor_.EncodeCodedImage(before));
    ASSERT_TRUE(ReadWholeFile(folder.File("d.mqz"), bytes));
    bytes[bytes.size() / 2] ^= 0x10;
    ASSERT_TRUE(WriteFileAtomically(folder.File("bad.mqz"), bytes));
    ASSERT_TRUE(worker_.StartContextualDecode(folder.File("bad.mqz")));
    worker_.WaitForIdle();
    EXPECT_FALSE(worker_.LastStatus());
    EXPECT_EQ(worker_.LastStatus().kind(), ErrorKind::DamagedFile);
    EXPECT_NE(worker_.LastStatus().message().find("bad.mqz"), std::string::npos);
    std::vector<std::uint8_t> after;
    ASSERT_TRUE(compressor_.EncodeCodedImage(after));
    EXPECT_EQ(after, before);

    ASSERT_TRUE(worker_.StartContextualDecode(folder.File("d.mqz")));
    worker_.WaitForIdle();
    EXPECT_TRUE(worker_.LastStatus());
    EXPECT_EQ(worker_.LastCommand(), MqKohonenThread::kContextualDecode);
    EXPECT_FALSE(std::filesystem::exists(codedTemporary));
}

// A study reads the compressor and reports through its own message, leaving
// the step's figures as they were; like a file command it is refused while
// anything else is pending.
TEST_F(WorkerTest, AStudyRunsBesideTheStepsWithoutChangingTheirResults) {
    ASSERT_TRUE(compressor_.LoadImage(TestData("photo500-tiger.png")));
    Install();
    worker_.Start();
    worker_.StartTrainingJob(Job(1, true), LosslessMode::None);
    EXPECT_FALSE(worker_.StartStudy({StudyTask::ReferenceAtSize, ReferenceCodecKind::Webp, 1, 7}));
    worker_.WaitForIdle();
    const StepResult step = worker_.LastResult();
    const std::uint64_t coded = compressor_.Rate().Total();

    ASSERT_TRUE(worker_.StartStudy({StudyTask::ReferenceAtSize, ReferenceCodecKind::Webp, coded, 7}));
    EXPECT_FALSE(worker_.StartDecode("x.mqc"));
    worker_.WaitForIdle();
    EXPECT_EQ(recorder_.Messages(), (std::vector<int>{1125, 1127}));
    EXPECT_EQ(worker_.LastCommand(), MqKohonenThread::kStudy);
    ASSERT_TRUE(worker_.LastStatus().ok()) << worker_.LastStatus().message();
    const StudyOutcome outcome = worker_.LastStudy();
    EXPECT_EQ(outcome.job.ticket, 7u);
    ASSERT_TRUE(outcome.atSize.fits);
    EXPECT_LE(outcome.atSize.figures.bytes, coded);
    EXPECT_EQ(outcome.atSize.decoded.width, 500);
    EXPECT_EQ(outcome.atSize.decoded.height, 500);
    ASSERT_TRUE(outcome.atSize.ssimMap.has_value());
    EXPECT_EQ(outcome.atSize.ssimMap->columns, 490);
    EXPECT_EQ(worker_.LastResult().figures.quality.psnrMean, step.figures.quality.psnrMean);
    EXPECT_EQ(worker_.LastResult().codedBytes, step.codedBytes);

    // The reconstruction's map: its mean is the step's SSIM.
    ASSERT_TRUE(worker_.StartStudy({StudyTask::ReconstructionSsimMap, ReferenceCodecKind::Jpeg, 0, 8}));
    worker_.WaitForIdle();
    const StudyOutcome map = worker_.LastStudy();
    ASSERT_TRUE(map.ssimMap.has_value() && step.figures.similarity.ssim.has_value());
    double sum = 0.0;
    for (double value : map.ssimMap->values) sum += value;
    EXPECT_NEAR(sum / static_cast<double>(map.ssimMap->values.size()), *step.figures.similarity.ssim, 1e-9);
}

TEST_F(WorkerTest, AStudyWithoutAnImageFails) {
    Install();
    worker_.Start();
    ASSERT_TRUE(worker_.StartStudy({StudyTask::ReferenceLadders, ReferenceCodecKind::Jpeg, 0, 1}));
    worker_.WaitForIdle();
    EXPECT_EQ(recorder_.Messages(), (std::vector<int>{1127}));
    EXPECT_FALSE(worker_.LastStatus().ok());
    EXPECT_TRUE(worker_.LastStudy().curves.empty());
}

TEST(WorkerLifetimeTest, StoppingMidChainJoinsCleanly) {
    ImageCompressor compressor;
    ASSERT_TRUE(compressor.LoadImage(TestData("photo64-a.png")));
    std::promise<void> firstStep;
    std::atomic<int> steps{0};
    int beforeStop = 0;
    {
        MqKohonenThread worker(&compressor);
        worker.SetCompletionHandler([&](int) {
            if (steps++ == 0) firstStep.set_value();
            worker.StartTrainingJob(Job(1, false, 4), LosslessMode::None);  // an endless chain
        });
        worker.Start();
        worker.StartTrainingJob(Job(1, true, 4), LosslessMode::None);
        firstStep.get_future().wait();
        beforeStop = steps.load();
    }  // the destructor ends the chain after the step in progress
    const int afterStop = steps.load();
    EXPECT_LE(afterStop, beforeStop + 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(steps.load(), afterStop);  // nothing runs once the worker is gone
}

}  // namespace
}  // namespace pictora
