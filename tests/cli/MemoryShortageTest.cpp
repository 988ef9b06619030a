#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "common/AllocationFailure.h"
#include "common/TempFolder.h"

namespace pictora::cli {
namespace {

using pictora::testing::AllocationFailure;
using pictora::testing::TempFolder;
using pictora::testing::TestData;

// Allocations from this size on can be refused: the planes, blocks, codebooks
// and files of a 64 x 64 photo, not the small strings of the messages.
constexpr std::size_t kLarge = 1024;

struct Outcome {
    int code = 0;
    std::string messages;
};

Outcome RunWithMemoryFor(const std::vector<std::string>& arguments, std::int64_t granted) {
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    Outcome outcome;
    {
        AllocationFailure failure(kLarge, granted);
        outcome.code = RunCommandLine(arguments);
    }
    ::testing::internal::GetCapturedStdout();
    outcome.messages = ::testing::internal::GetCapturedStderr();
    return outcome;
}

class MemoryShortageTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::testing::internal::CaptureStdout();
        ASSERT_EQ(RunCommandLine({"train", TestData("photo64-a.png"), "--steps", "2", "-o", File("a.mqc"), "-o",
                                  File("a.huf"), "-o", File("a.cod")}),
                  kExitOk);
        ::testing::internal::GetCapturedStdout();
    }
    std::string File(const std::string& name) const { return folder_.File(name); }

    // Memory runs out at every large allocation the command makes in turn
    // (all of them, or a spread of them): each time the command ends with
    // one line that says so, and exit status 1.
    void ExpectToldAtEveryAllocation(const std::vector<std::string>& arguments) {
        SCOPED_TRACE(::testing::PrintToString(arguments));
        const Outcome whole = RunWithMemoryFor(arguments, INT64_MAX);
        ASSERT_EQ(whole.code, kExitOk) << whole.messages;
        const std::int64_t large = AllocationFailure::Large();
        ASSERT_GT(large, 0);
        const std::int64_t stride = std::max<std::int64_t>(1, large / 150);
        for (std::int64_t granted = 0; granted < large; granted += stride) {
            const Outcome outcome = RunWithMemoryFor(arguments, granted);
            if (AllocationFailure::Refused() == 0) continue;  // this run needed fewer
            EXPECT_EQ(outcome.code, kExitBadFile) << granted << ": " << outcome.messages;
            EXPECT_EQ(outcome.messages.rfind("pictora-cli: ", 0), 0u) << granted << ": " << outcome.messages;
            EXPECT_NE(outcome.messages.find("not enough memory"), std::string::npos) << granted << ": " << outcome.messages;
            EXPECT_EQ(std::count(outcome.messages.begin(), outcome.messages.end(), '\n'), 1) << outcome.messages;
        }
    }

    TempFolder folder_;
};

TEST_F(MemoryShortageTest, TrainTellsIt) {
    ExpectToldAtEveryAllocation({"train", TestData("photo64-b.png"), "--block", "4", "--steps", "2", "--entropy",
                                 "huffman", "--results", File("r.csv"), "-o", File("b.png"), "-o", File("b.art"), "-o",
                                 File("b.cod")});
    ExpectToldAtEveryAllocation({"train", TestData("photo64-b.png"), "--color-space", "ycbcr420", "--block", "4",
                                 "--filter", "3", "-o", File("b.mqc")});
}

TEST_F(MemoryShortageTest, DecodeApplyAndInfoTellIt) {
    ExpectToldAtEveryAllocation({"decode", File("a.huf"), "--reference", TestData("photo64-a.png"), "--results",
                                 File("d.csv"), "-o", File("d.png")});
    ExpectToldAtEveryAllocation({"apply", TestData("photo64-a.png"), File("a.cod"), "--results", File("p.csv"), "-o",
                                 File("p.mqc")});
    ExpectToldAtEveryAllocation({"info", File("a.huf")});
    ExpectToldAtEveryAllocation({"info", File("a.cod")});
}

TEST_F(MemoryShortageTest, CompareTellsIt) {
    ExpectToldAtEveryAllocation({"compare", TestData("photo64-a.png"), "--like", File("a.mqc"), "--codecs", "jpeg",
                                 "--results", File("c.csv"), "-o", File("refs")});
}

// The line names what was being done and the file.
TEST_F(MemoryShortageTest, TheMessageSaysWhatWasBeingDone) {
    const Outcome train = RunWithMemoryFor({"train", TestData("photo64-b.png"), "-o", File("x.mqc")}, 0);
    EXPECT_NE(train.messages.find("photo64-b.png"), std::string::npos) << train.messages;
    const Outcome info = RunWithMemoryFor({"info", File("a.huf")}, 0);
    EXPECT_EQ(info.messages, "pictora-cli: not enough memory to read " + File("a.huf") + "\n");
}

}  // namespace
}  // namespace pictora::cli
