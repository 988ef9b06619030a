#include <gtest/gtest.h>

#include <filesystem>

#include "common/TempFolder.h"
#include "pipeline/ImageCompressor.h"
#include "pipeline/ResultFiles.h"
#include "support/FileIO.h"

namespace pictora {
namespace {

// Every input that once crashed, hung or exhausted memory in a reader is kept
// in tests/data/fuzz, named for the reader it broke; each must now be refused
// or read, leaving a loaded compressor in a consistent state.
TEST(FuzzRegressionTest, OnceHarmfulInputsAreHandled) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(testing::TestData("fuzz"))) {
        const std::string path = entry.path().string();
        SCOPED_TRACE(path);
        ImageCompressor compressor;
        ASSERT_TRUE(compressor.LoadImage(testing::TestData("photo64-a.png")));
        const std::string extension = entry.path().extension().string();
        if (extension == ".cod") {
            (void)compressor.ApplyCodebookFile(path);
            (void)compressor.ApplyCodebookFiles({path, path, path}, {1, 2, 3});
        } else if (extension == ".png") {
            (void)compressor.LoadImage(path);
        } else {
            (void)DecodeResultFile(compressor, path);
        }
        ++files;
        TrainingJob job;
        for (ChannelJob& channel : job.channels) channel.passes = 1;
        job.restart = true;
        EXPECT_TRUE(compressor.TrainAndCode(job));
    }
    EXPECT_GE(files, 2);
}

}  // namespace
}  // namespace pictora
