#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "cli/Commands.h"
#include "common/TempFolder.h"
#include "image/PngImage.h"

namespace pictora::cli {
namespace {

using pictora::testing::TempFolder;
using pictora::testing::TestData;

std::vector<std::string> Lines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST(TrainCommandTest, RunsTheStepsAndWritesResultsAndReconstruction) {
    TempFolder folder;
    ::testing::internal::CaptureStdout();
    int code = RunTrain({TestData("photo64-a.png"), "--steps", "3,1,1", "--block", "4", "--results",
                         folder.File("r.csv"), "-o", folder.File("out.PNG")});
    std::string printed = ::testing::internal::GetCapturedStdout();
    ASSERT_EQ(code, kExitOk);

    std::vector<std::string> csv = Lines(folder.File("r.csv"));
    ASSERT_EQ(csv.size(), 4u);  // header and three steps
    EXPECT_EQ(csv[0].substr(0, 13), "step,neurons,");
    EXPECT_EQ(csv[3].substr(0, 2), "3,");
    EXPECT_NE(printed.find("pSNR (dB)"), std::string::npos);
    EXPECT_NE(printed.find("\n    3 "), std::string::npos);

    PngImage saved;
    EXPECT_EQ(saved.Load(folder.File("out.PNG")), 0);
    EXPECT_EQ(saved.width, 64);
}

TEST(TrainCommandTest, ExitCodesTellBadFilesFromBadUsage) {
    TempFolder folder;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(RunTrain({TestData("refuse/gray4-32.png")}), kExitBadFile);
    EXPECT_EQ(RunTrain({folder.File("absent.png")}), kExitBadFile);
    EXPECT_EQ(RunTrain({TestData("photo64-a.png"), "--results", folder.File("missing/r.csv")}), kExitBadFile);
    EXPECT_EQ(RunTrain({TestData("photo64-a.png"), "--steps", "many"}), kExitUsage);
    EXPECT_EQ(RunTrain({TestData("photo64-a.png"), "-o", folder.File("out.bmp")}), kExitUsage);
    std::string messages = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(messages.find("gray4-32.png"), std::string::npos);
    EXPECT_NE(messages.find("absent.png"), std::string::npos);
}

}  // namespace
}  // namespace pictora::cli
