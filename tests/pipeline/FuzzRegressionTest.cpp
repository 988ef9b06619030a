#include <gtest/gtest.h>

#include <filesystem>

#include "common/TempFolder.h"
#include "pipeline/ImageCompressor.h"
#include "pipeline/ResultFiles.h"
#include "support/FileIO.h"

namespace pictora {
namespace {

// Every input that once crashed, hung or exhausted memory in a reader is kept
// in tests/data/fuzz, named for the reader it broke. Each is damaged: it must
// be refused as such, leaving the loaded image and a compressor that still
// trains it.
TEST(FuzzRegressionTest, OnceHarmfulInputsAreRefusedAndChangeNothing) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(testing::TestData("fuzz"))) {
        const std::string path = entry.path().string();
        SCOPED_TRACE(path);
        ImageCompressor compressor;
        ASSERT_TRUE(compressor.LoadImage(testing::TestData("photo64-a.png")));
        const std::string extension = entry.path().extension().string();
        std::vector<Status> outcomes;
        if (extension == ".cod") {
            outcomes.push_back(compressor.ApplyCodebookFile(path));
            outcomes.push_back(compressor.ApplyCodebookFiles({path, path, path}, {1, 2, 3}));
        } else if (extension == ".png") {
            outcomes.push_back(compressor.LoadImage(path));
        } else {
            outcomes.push_back(DecodeResultFile(compressor, path));
        }
        for (const Status& outcome : outcomes) {
            EXPECT_FALSE(outcome);
            EXPECT_NE(outcome.message().find(entry.path().filename().string()), std::string::npos) << outcome.message();
        }
        ++files;
        EXPECT_EQ(compressor.GetImageHeight(), 64);
        EXPECT_FALSE(compressor.HasReconstruction());
        TrainingJob job;
        for (ChannelJob& channel : job.channels) channel.passes = 1;
        job.restart = true;
        EXPECT_TRUE(compressor.TrainAndCode(job));
        EXPECT_GT(compressor.GetNeuronCount(-1), 0);
    }
    EXPECT_GE(files, 2);
}

}  // namespace
}  // namespace pictora
