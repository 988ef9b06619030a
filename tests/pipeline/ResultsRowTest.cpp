#include "pipeline/ResultsRow.h"

#include <gtest/gtest.h>

#include "common/SyntheticPng.h"
#include "common/TempFolder.h"
#include "pipeline/ImageCompressor.h"

namespace pictora {
namespace {

using testing::TempFolder;

// A black image codes exactly: one neuron per channel and an infinite pSNR.
class ResultsRowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(testing::WriteSyntheticPng(folder_.File("black.png"), 16, 16, [](int, int, int) { return 0; }));
        ASSERT_TRUE(compressor_.LoadImage(folder_.File("black.png")));
        TrainingJob job;
        for (ChannelJob& channel : job.channels) {
            channel.passes = 1;
            channel.dimension = 4;
            channel.radius = 0.0;
        }
        job.restart = true;
        ASSERT_TRUE(compressor_.TrainAndCode(job));
    }

    TempFolder folder_;
    ImageCompressor compressor_;
};

TEST_F(ResultsRowTest, TrainingRowShowsCountsQualityAndRates) {
    ResultsRow row = FormatResultsRow(compressor_, ResultKind::TrainingStep, 7, 0.5);
    EXPECT_EQ(row[0], "7");
    EXPECT_EQ(row[1], "3");
    EXPECT_EQ(row[2], "1");
    EXPECT_EQ(row[5], "inf");
    EXPECT_EQ(row[6], "inf");
    // Each channel: 4 codebook bytes + 64 one-bit codes = 12 bytes of 256.
    EXPECT_EQ(row[10], "4.69%");
    EXPECT_EQ(row[9], "4.69%");
    EXPECT_EQ(row[13], "50.00%");
    EXPECT_EQ(row[14], "2.34%");
    EXPECT_EQ(FormatResultsRow(compressor_, ResultKind::TrainingStep, 1, 0.0)[13], "0.00%");
}

TEST_F(ResultsRowTest, LoadedFileRowShowsPrunedCountsAndNoLosslessStage) {
    ResultsRow row = FormatResultsRow(compressor_, ResultKind::FileLoaded, 7, 0.5);
    EXPECT_EQ(row[0], "---");
    EXPECT_EQ(row[1], "3 (0)");
    EXPECT_EQ(row[4], "1 (0)");
    EXPECT_EQ(row[12], "4.69%");
    EXPECT_EQ(row[13], "");
    EXPECT_EQ(row[14], "");
}

TEST_F(ResultsRowTest, CsvLineMatchesTheHeader) {
    const std::string line = FormatResultsCsvLine(compressor_, 2, 0.25);
    auto fields = [](const std::string& text) { return std::count(text.begin(), text.end(), ',') + 1; };
    EXPECT_EQ(fields(line), fields(ResultsCsvHeader()));
    EXPECT_EQ(line.substr(0, 10), "2,3,1,1,1,");
    EXPECT_NE(line.find(",0.046875,"), std::string::npos);
    EXPECT_EQ(line.substr(line.size() - 3), ",36");
}

}  // namespace
}  // namespace pictora
