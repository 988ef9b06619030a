#include "pipeline/TrainingRun.h"

#include <gtest/gtest.h>

#include "common/Jobs.h"
#include "common/TempFolder.h"
#include "pipeline/ImageCompressor.h"
#include "pipeline/ResultFiles.h"
#include "support/FileIO.h"

namespace pictora {
namespace {

using testing::TestData;

RunSettings Settings(LosslessMode lossless = LosslessMode::None, std::uint32_t side = 4) {
    return {testing::MakeJob(ColorSpace::Rgb, side, {0, 0, 0}, false), lossless, MeasureSet::All};
}

TEST(TrainingRunTest, StepsAreCountedDownPerChannelAndTheRunEndsWhenNoneAreLeft) {
    ImageCompressor compressor;
    ASSERT_TRUE(compressor.LoadImage(TestData("photo64-a.png")));
    TrainingRun run(compressor);
    run.Begin({2, 1, 0});
    ASSERT_TRUE(run.HasStepsLeft());
    ASSERT_TRUE(run.Step(Settings()));
    EXPECT_EQ(run.StepsLeft(), (ChannelSteps{1, 0, 0}));
    EXPECT_GT(compressor.GetNeuronCount(1), 0);
    EXPECT_EQ(compressor.GetNeuronCount(2), 0);  // a channel without steps is never trained
    ASSERT_TRUE(run.Step(Settings()));
    EXPECT_FALSE(run.HasStepsLeft());
    ASSERT_EQ(run.History().size(), 2u);
    EXPECT_EQ(run.History()[0].step, 1);
    EXPECT_EQ(run.History()[1].step, 2);
    // A new run starts numbering again and forgets the old history.
    run.Begin({0, 0, 0});
    EXPECT_FALSE(run.HasStepsLeft());
    ASSERT_TRUE(run.Step(Settings()));
    ASSERT_EQ(run.History().size(), 1u);
    EXPECT_EQ(run.History()[0].step, 1);
}

// The run is the sequence its callers used to write by hand: a restart on
// the first job and one pass per channel with steps left; the lossless
// stage is the one measurement of the program.
TEST(TrainingRunTest, TheRunMakesWhatTheHandWrittenSequenceMade) {
    ImageCompressor byRun, byHand;
    ASSERT_TRUE(byRun.LoadImage(TestData("photo64-b.png")));
    ASSERT_TRUE(byHand.LoadImage(TestData("photo64-b.png")));
    TrainingRun run(byRun);
    run.Begin({2, 2, 1});
    std::vector<std::uint8_t> runBytes, handBytes;
    for (int step = 1; run.HasStepsLeft(); ++step) {
        ASSERT_TRUE(run.Step(Settings(LosslessMode::Arithmetic)));
        ASSERT_TRUE(byHand.TrainAndCode(
            testing::MakeJob(ColorSpace::Rgb, 4, {1, 1, step == 1 ? 1u : 0u}, step == 1)));
        ASSERT_TRUE(byRun.EncodeCodedImage(runBytes));
        ASSERT_TRUE(byHand.EncodeCodedImage(handBytes));
        EXPECT_EQ(runBytes, handBytes) << "step " << step;
        LosslessImage lossless;
        ASSERT_TRUE(EncodeLosslessImage(byHand, LosslessMode::Arithmetic, lossless));
        EXPECT_EQ(run.History().back().losslessBytes, lossless.packed.size());
        EXPECT_EQ(run.History().back().losslessRatio, lossless.Ratio());
        EXPECT_EQ(run.History().back().figures.quality.psnrMean,
                  byHand.Result(StepOrigin::TrainingStep, step).figures.quality.psnrMean);
    }
    EXPECT_EQ(run.History().size(), 2u);
}

TEST(TrainingRunTest, TheFirstJobCanLoadTheImageItTrainsOn) {
    std::vector<std::uint8_t> png;
    ASSERT_TRUE(ReadWholeFile(TestData("photo64-c.png"), png));
    ImageCompressor streamed, loaded;
    TrainingRun first(streamed);
    first.Begin({1, 1, 1});
    ASSERT_TRUE(first.LoadAndStep(png, "photo64-c.png", Settings()));
    ASSERT_TRUE(loaded.LoadImage(TestData("photo64-c.png")));
    TrainingRun second(loaded);
    second.Begin({1, 1, 1});
    ASSERT_TRUE(second.Step(Settings()));
    EXPECT_EQ(first.History().back().codedBytes, second.History().back().codedBytes);
    EXPECT_EQ(first.History().back().figures.quality.psnrMean, second.History().back().figures.quality.psnrMean);

    png.resize(png.size() / 2);  // a cut file: no image, and the message names it
    ImageCompressor refused;
    TrainingRun broken(refused);
    broken.Begin({1, 1, 1});
    const Status status = broken.LoadAndStep(png, "cut.png", Settings());
    EXPECT_FALSE(status);
    EXPECT_FALSE(refused.IsImageLoaded());
}

}  // namespace
}  // namespace pictora
