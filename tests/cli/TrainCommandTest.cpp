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

std::vector<std::string> WithCommand(const std::string& command, std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), command);
    return arguments;
}

std::vector<std::string> Lines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST(TrainCommandTest, RunsTheStepsAndWritesResultsAndReconstruction) {
    TempFolder folder;
    ::testing::internal::CaptureStdout();
    int code = RunCommandLine({"train", TestData("photo64-a.png"), "--steps", "3,1,1", "--block", "4", "--results",
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

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The plain scan and the fast search write the same files, byte for byte:
// coded image, codebooks (full-precision weights), reconstruction and the
// results with every pSNR and rate to 17 digits, in every colour space.
TEST(TrainCommandTest, ReferenceSearchWritesTheSameFiles) {
    TempFolder folder;
    for (const char* space : {"rgb", "ycbcr444", "ycbcr420"}) {
        SCOPED_TRACE(space);
        for (const char* mode : {"plain", "fast"}) {
            std::vector<std::string> arguments = {TestData("photo64-b.png"), "--color-space", space,
                                                  "--block", "3,4,5", "--radius", "0.05,0.2,0.1",
                                                  "--alfa", "0.3,0.1,1", "--steps", "3,2,3",
                                                  "--results", folder.File(std::string(mode) + ".csv")};
            for (const char* extension : {".mqc", ".cod", ".png"})
                arguments.insert(arguments.end(), {"-o", folder.File(mode + std::string(extension))});
            if (std::string(mode) == "plain") arguments.push_back("--reference-search");
            ::testing::internal::CaptureStdout();
            ASSERT_EQ(RunCommandLine(WithCommand("train", arguments)), kExitOk);
            ::testing::internal::GetCapturedStdout();
        }
        for (const char* extension : {".csv", ".mqc", ".cod", ".png"}) {
            const std::string plain = Contents(folder.File(std::string("plain") + extension));
            EXPECT_FALSE(plain.empty()) << extension;
            EXPECT_EQ(plain, Contents(folder.File(std::string("fast") + extension))) << extension;
        }
    }
}

TEST(TrainCommandTest, ExitCodesTellBadFilesFromBadUsage) {
    TempFolder folder;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(RunCommandLine({"train", TestData("refuse/gray4-32.png")}), kExitBadFile);
    EXPECT_EQ(RunCommandLine({"train", folder.File("absent.png")}), kExitBadFile);
    EXPECT_EQ(RunCommandLine({"train", TestData("photo64-a.png"), "--results", folder.File("missing/r.csv")}), kExitBadFile);
    EXPECT_EQ(RunCommandLine({"train", TestData("photo64-a.png"), "--steps", "many"}), kExitUsage);
    EXPECT_EQ(RunCommandLine({"train", TestData("photo64-a.png"), "-o", folder.File("out.bmp")}), kExitUsage);
    std::string messages = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(messages.find("gray4-32.png"), std::string::npos);
    EXPECT_NE(messages.find("absent.png"), std::string::npos);
}

}  // namespace
}  // namespace pictora::cli
