#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/TrainOptions.h"

namespace pictora::cli {
namespace {

// The first line of what a refused command line prints on stderr.
std::string UsageMessage(const std::vector<std::string>& arguments) {
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    const int code = RunCommandLine(arguments);
    ::testing::internal::GetCapturedStdout();
    const std::string printed = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(code, kExitUsage) << printed;
    return printed.substr(0, printed.find('\n'));
}

TEST(CommandLineTest, AnUnknownCommandIsNamedWithTheCommandsThereAre) {
    EXPECT_EQ(UsageMessage({"bogus", "a.png"}),
              "pictora-cli: unknown command 'bogus'; the commands are train, decode, apply, info, compare, sweep");
    EXPECT_EQ(UsageMessage({}), "pictora-cli: no command given; the commands are train, decode, apply, info, compare, "
                                "sweep");
}

TEST(CommandLineTest, RefusedValuesSayWhatIsWanted) {
    EXPECT_EQ(UsageMessage({"train", "a.png", "--block", "8,8"}),
              "pictora-cli train: --block 8,8: give one value, or three separated by commas");
    EXPECT_EQ(UsageMessage({"train", "a.png", "--block", "4,13,4"}),
              "pictora-cli train: --block 13: a block side is a whole number from 2 to 12");
    EXPECT_EQ(UsageMessage({"train", "a.png", "--steps", "-1"}),
              "pictora-cli train: --steps -1: a number of steps is a whole number from 0 to 4294967295");
    EXPECT_EQ(UsageMessage({"train", "a.png", "--color-space", "hsv"}),
              "pictora-cli train: --color-space hsv: choose rgb, ycbcr444 or ycbcr420");
    EXPECT_EQ(UsageMessage({"train", "a.png", "--entropy", "zip"}),
              "pictora-cli train: --entropy zip: choose none, huffman, arithmetic or contextual");
}

TEST(CommandLineTest, ChoicesTakeAnyCase) {
    TrainOptions options;
    std::string error;
    ASSERT_TRUE(ParseTrainOptions({"a.png", "--color-space", "YCbCr420", "--entropy", "Huffman", "--measures", "PSNR"},
                                  options, error))
        << error;
    EXPECT_EQ(options.colorSpace, ColorSpace::YCbCr420);
    EXPECT_EQ(options.losslessMode, LosslessMode::Huffman);
    EXPECT_EQ(options.measures, MeasureSet::PsnrOnly);
}

// A negative or overflowing size once read as no limit at all.
TEST(CommandLineTest, CompareTakesOnlyAWholeNumberOfBytes) {
    const std::string wanted = ": a size is a whole number of bytes, such as 30000";
    for (const char* bytes : {"-5", "18446744073709551616", "99999999999999999999999", "1e3", "1000.0", ""})
        EXPECT_EQ(UsageMessage({"compare", "a.png", "--bytes", bytes}),
                  "pictora-cli compare: --bytes " + std::string(bytes) + wanted);
}

}  // namespace
}  // namespace pictora::cli
