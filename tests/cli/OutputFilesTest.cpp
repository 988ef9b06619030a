#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "cli/Commands.h"
#include "common/CsvFields.h"
#include "common/TempFolder.h"
#include "support/FileIO.h"

namespace pictora::cli {
namespace {

using pictora::testing::CsvFields;
using pictora::testing::TempFolder;
using pictora::testing::TestData;

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

struct Outcome {
    int code = 0;
    std::string printed;   // stdout
    std::string messages;  // stderr
};

Outcome RunCaptured(const std::vector<std::string>& arguments) {
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    Outcome outcome;
    outcome.code = RunCommandLine(arguments);
    outcome.printed = ::testing::internal::GetCapturedStdout();
    outcome.messages = ::testing::internal::GetCapturedStderr();
    return outcome;
}

// Every command refuses to write over a file it reads, however the two are
// named, and leaves that file as it was.
TEST(OutputFilesTest, AnOutputThatIsAnInputIsRefused) {
    TempFolder folder;
    const std::string photo = folder.File("a.png");
    std::filesystem::copy_file(TestData("photo64-a.png"), photo);
    std::filesystem::create_directories(folder.File("sub"));
    std::filesystem::create_hard_link(photo, folder.File("linked.png"));
    ASSERT_EQ(RunCaptured({"train", photo, "-o", folder.File("a.mqc"), "-o", folder.File("a.cod")}).code, kExitOk);
    const std::string photoBytes = Contents(photo);
    const std::string codedBytes = Contents(folder.File("a.mqc"));
    const std::string bookBytes = Contents(folder.File("a.cod"));

    const std::vector<std::vector<std::string>> refused = {
        {"train", photo, "-o", photo},
        {"train", photo, "--results", photo},
        {"train", photo, "-o", folder.File("sub/../a.png")},
        {"train", photo, "-o", folder.File("linked.png")},
        {"decode", folder.File("a.mqc"), "-o", folder.File("a.mqc")},
        {"decode", folder.File("a.mqc"), "--reference", photo, "-o", folder.File("./a.png")},
        {"decode", folder.File("a.mqc"), "--reference", photo, "--results", photo},
        {"apply", photo, folder.File("a.cod"), "-o", folder.File("a.cod")},
        {"apply", photo, folder.File("a.cod") + ":1", folder.File("a.cod") + ":2", folder.File("a.cod") + ":3", "-o",
         folder.File("a.cod")},
        {"apply", photo, folder.File("a.cod"), "--results", photo},
        {"compare", photo, "--bytes", "100", "--codecs", "jpeg", "--results", photo},
        {"compare", photo, "--like", folder.File("a.mqc"), "--codecs", "jpeg", "--results", folder.File("a.mqc")},
    };
    for (const auto& arguments : refused) {
        const Outcome outcome = RunCaptured(arguments);
        EXPECT_EQ(outcome.code, kExitUsage) << ::testing::PrintToString(arguments);
        EXPECT_NE(outcome.messages.find("is the input"), std::string::npos) << outcome.messages;
        EXPECT_EQ(outcome.printed, "");
    }
    EXPECT_EQ(Contents(photo), photoBytes);
    EXPECT_EQ(Contents(folder.File("a.mqc")), codedBytes);
    EXPECT_EQ(Contents(folder.File("a.cod")), bookBytes);
}

// A path that cannot be written is told before any work: no row printed,
// nothing written, an earlier file left as it was.
TEST(OutputFilesTest, EveryOutputIsCheckedBeforeTheWorkStarts) {
    TempFolder folder;
    ASSERT_EQ(RunCaptured({"train", TestData("photo64-b.png"), "-o", folder.File("b.mqc"), "-o", folder.File("b.cod")}).code,
              kExitOk);
    const std::string missing = folder.File("missing/x");
    std::filesystem::create_directories(folder.File("taken.png"));
    const std::vector<std::vector<std::string>> refused = {
        {"train", TestData("photo64-b.png"), "-o", missing + ".mqc"},
        {"train", TestData("photo64-b.png"), "-o", folder.File("ok.png"), "-o", folder.File("taken.png")},
        {"train", TestData("photo64-b.png"), "--results", missing + ".csv"},
        {"decode", folder.File("b.mqc"), "-o", missing + ".png"},
        {"decode", folder.File("b.mqc"), "--reference", TestData("photo64-b.png"), "--results", missing + ".csv"},
        {"apply", TestData("photo64-b.png"), folder.File("b.cod"), "-o", missing + ".png"},
        {"compare", TestData("photo64-b.png"), "--bytes", "2000", "--codecs", "jpeg", "--results", missing + ".csv"},
        {"compare", TestData("photo64-b.png"), "--bytes", "2000", "--codecs", "jpeg", "-o", folder.File("refs"),
         "--results", missing + ".csv"},
    };
    for (const auto& arguments : refused) {
        const Outcome outcome = RunCaptured(arguments);
        EXPECT_EQ(outcome.code, kExitBadFile) << ::testing::PrintToString(arguments);
        EXPECT_NE(outcome.messages.find(folder.File("")), std::string::npos) << outcome.messages;
        EXPECT_EQ(outcome.printed, "") << ::testing::PrintToString(arguments);
    }
    EXPECT_FALSE(std::filesystem::exists(folder.File("ok.png")));
    EXPECT_FALSE(std::filesystem::exists(folder.File("refs")));  // made for the check, removed again

    // The results file may live in the folder -o makes.
    const Outcome inFolder = RunCaptured({"compare", TestData("photo64-b.png"), "--bytes", "2000", "--codecs", "jpeg", "-o",
                                  folder.File("refs/deeper"), "--results", folder.File("refs/deeper/r.csv")});
    EXPECT_EQ(inFolder.code, kExitOk) << inFolder.messages;
    const std::string rows = Contents(folder.File("refs/deeper/r.csv"));
    EXPECT_EQ(std::count(rows.begin(), rows.end(), '\n'), 2);
}

// compare prints its table's header only with a first row.
TEST(OutputFilesTest, CompareHeadsOnlyATableThatHasARow) {
    TempFolder folder;
    std::vector<std::uint8_t> junk(40, 3);
    ASSERT_TRUE(WriteFileAtomically(folder.File("junk.mqc"), junk));
    const Outcome refused = RunCaptured({"compare", TestData("photo64-a.png"), "--like", folder.File("junk.mqc")});
    EXPECT_EQ(refused.code, kExitBadFile);
    EXPECT_EQ(refused.printed, "");
    const Outcome fine = RunCaptured({"compare", TestData("photo64-a.png"), "--bytes", "20", "--codecs", "jpeg"});
    EXPECT_EQ(fine.code, kExitOk);
    EXPECT_EQ(fine.printed.rfind("codec ", 0), 0u) << fine.printed;
}

// What the results file holds at any moment of a run: the earlier file, or
// the header and every step finished so far, each row whole.
int FinishedRows(const std::string& text, const std::string& earlier) {
    if (text == earlier) return 0;
    std::istringstream lines(text);
    std::string line;
    if (!std::getline(lines, line) || line.rfind("step,neurons,", 0) != 0) return -1;
    int rows = 0;
    while (std::getline(lines, line)) {
        const std::vector<std::string> fields = CsvFields(line);
        if (fields.size() != 31 || fields[0] != std::to_string(rows + 1)) return -1;
        ++rows;
    }
    return rows > 0 && text.back() == '\n' ? rows : -1;
}

// Ctrl+C in the middle of a long run keeps every finished row; the file is
// never left with its header alone.
TEST(OutputFilesTest, AnInterruptedTrainingKeepsEveryFinishedRow) {
    TempFolder folder;
    const std::string results = folder.File("r.csv");
    const std::string earlier = "kept from before\n";
    ASSERT_TRUE(WriteFileAtomically(results, std::vector<std::uint8_t>(earlier.begin(), earlier.end())));
    const std::string image = TestData("photo500-tiger.png");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int quiet = ::open("/dev/null", O_WRONLY);
        ::dup2(quiet, STDOUT_FILENO);
        ::dup2(quiet, STDERR_FILENO);
        ::execl(PICTORA_CLI_PATH, "pictora-cli", "train", image.c_str(), "--steps", "100000", "--measures", "psnr",
                "--results", results.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int rows = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (rows < 3 && std::chrono::steady_clock::now() < deadline) {
        rows = FinishedRows(Contents(results), earlier);
        if (rows < 0) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ::kill(child, SIGINT);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT);
    ASSERT_GE(rows, 3) << Contents(results);
    EXPECT_GE(FinishedRows(Contents(results), earlier), rows) << Contents(results);
}

}  // namespace
}  // namespace pictora::cli
