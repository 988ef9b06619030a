#include "cli/TrainOptions.h"

#include <gtest/gtest.h>

#include "cli/Commands.h"

namespace pictora::cli {
namespace {

bool Parse(std::vector<std::string> arguments, TrainOptions& options, std::string& error) {
    return ParseTrainOptions(arguments, options, error);
}

TEST(TrainOptionsTest, DefaultsAreTheForms) {
    TrainOptions options;
    std::string error;
    ASSERT_TRUE(Parse({"image.png"}, options, error)) << error;
    EXPECT_EQ(options.imagePath, "image.png");
    EXPECT_EQ(options.colorSpace, ColorSpace::Rgb);
    EXPECT_EQ(options.blockSides, (std::array<std::uint32_t, 3>{8, 8, 8}));
    EXPECT_EQ(options.steps, (std::array<std::uint32_t, 3>{1, 1, 1}));
    EXPECT_EQ(options.radius[2], 0.1);
    EXPECT_EQ(options.alfa[0], 0.1);
    EXPECT_EQ(options.filter, LowPassFilter::None);
}

TEST(TrainOptionsTest, ListsGiveOneValuePerChannel) {
    TrainOptions options;
    std::string error;
    ASSERT_TRUE(Parse({"--block", "4,8,12", "--steps", "3,1,0", "--radius", "0.05", "--alfa", "0,0.5,1", "x.png",
                       "--color-space", "ycbcr420", "--filter", "9", "-o", "a.png", "-o", "b.png", "--results",
                       "r.csv"},
                      options, error))
        << error;
    EXPECT_EQ(options.blockSides, (std::array<std::uint32_t, 3>{4, 8, 12}));
    EXPECT_EQ(options.steps, (std::array<std::uint32_t, 3>{3, 1, 0}));
    EXPECT_EQ(options.radius, (std::array<double, 3>{0.05, 0.05, 0.05}));
    EXPECT_EQ(options.alfa, (std::array<double, 3>{0.0, 0.5, 1.0}));
    EXPECT_EQ(options.colorSpace, ColorSpace::YCbCr420);
    EXPECT_EQ(options.filter, LowPassFilter::Box9);
    EXPECT_EQ(options.outputs, (std::vector<std::string>{"a.png", "b.png"}));
    EXPECT_EQ(options.resultsPath, "r.csv");
}

TEST(TrainOptionsTest, ReferenceSearchIsAFlagWithoutValue) {
    TrainOptions defaults;
    std::string error;
    ASSERT_TRUE(Parse({"image.png", "--steps", "2"}, defaults, error)) << error;
    EXPECT_FALSE(defaults.referenceSearch);
    TrainOptions options;
    ASSERT_TRUE(Parse({"--reference-search", "image.png", "--steps", "2"}, options, error)) << error;
    EXPECT_TRUE(options.referenceSearch);
    EXPECT_EQ(options.imagePath, "image.png");
    EXPECT_EQ(options.steps[1], 2u);

    ::testing::internal::CaptureStdout();
    EXPECT_EQ(RunCommandLine({"train", "--help"}), kExitOk);
    const std::string help = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(help.find("--reference-search"), std::string::npos);
    EXPECT_EQ(help.find("decode"), std::string::npos);  // train's options only
}

TEST(TrainOptionsTest, UsageErrorsAreOneLineWithAHintToHelp) {
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(RunCommandLine({"train", "a.png", "--block", "13"}), kExitUsage);
    const std::string message = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(message, "pictora-cli train: --block 13: a block side is a whole number from 2 to 12\nRun 'pictora-cli "
                       "train --help' for more information.\n");
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(RunCommandLine({"--version"}), kExitOk);
    EXPECT_EQ(::testing::internal::GetCapturedStdout().rfind("pictora-cli ", 0), 0u);
}

TEST(TrainOptionsTest, RefusesWhatTheEngineCannotUse) {
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"a.png", "b.png"},
        {"a.png", "--block", "1"},
        {"a.png", "--block", "13"},
        {"a.png", "--block", "4,4"},
        {"a.png", "--block", "4,4,4,"},
        {"a.png", "--steps", "-1"},
        {"a.png", "--steps", "x"},
        {"a.png", "--radius", "nan"},
        {"a.png", "--alfa", "1e999"},
        {"a.png", "--filter", "4"},
        {"a.png", "--color-space", "hsv"},
        {"a.png", "--frobnicate", "1"},
        {"a.png", "--steps"},
    };
    for (const auto& arguments : bad) {
        TrainOptions options;
        std::string error;
        EXPECT_FALSE(Parse(arguments, options, error)) << ::testing::PrintToString(arguments);
        EXPECT_FALSE(error.empty());
    }
}

}  // namespace
}  // namespace pictora::cli
