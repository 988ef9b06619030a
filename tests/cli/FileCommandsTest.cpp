#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "cli/Commands.h"
#include "common/TempFolder.h"
#include "image/PngImage.h"
#include "support/FileIO.h"
#include "support/NumberText.h"

namespace pictora::cli {
namespace {

using pictora::testing::TempFolder;
using pictora::testing::TestData;

class FileCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::testing::internal::CaptureStdout();
        ASSERT_EQ(RunCommandLine({"train", TestData("photo64-c.png"), "--color-space", "ycbcr420", "--block", "4,4,2", "--steps",
                            "2", "-o", File("c.mqc"), "-o", File("c.COD"), "-o", File("c.png")}),
                  kExitOk);
        ::testing::internal::GetCapturedStdout();
    }
    std::string File(const char* name) const { return folder_.File(name); }

    TempFolder folder_;
};

TEST_F(FileCommandsTest, DecodeRebuildsTheTrainedImage) {
    ASSERT_EQ(RunCommandLine({"decode", File("c.mqc"), "-o", File("d.png"), "-o", File("again.mqc")}), kExitOk);
    std::vector<std::uint8_t> trained, decoded, coded, recoded;
    ASSERT_TRUE(ReadWholeFile(File("c.png"), trained));
    ASSERT_TRUE(ReadWholeFile(File("d.png"), decoded));
    EXPECT_EQ(decoded, trained);
    ASSERT_TRUE(ReadWholeFile(File("c.mqc"), coded));
    ASSERT_TRUE(ReadWholeFile(File("again.mqc"), recoded));
    EXPECT_EQ(recoded, coded);
}

TEST_F(FileCommandsTest, LosslessFormsDecodeToTheSameImage) {
    ::testing::internal::CaptureStdout();
    ASSERT_EQ(RunCommandLine({"train", TestData("photo64-c.png"), "--color-space", "ycbcr420", "--block", "4,4,2", "--steps", "2",
                        "--entropy", "arithmetic", "--results", File("r.csv"), "-o", File("c.HUF"), "-o",
                        File("c.art")}),
              kExitOk);
    ASSERT_EQ(RunCommandLine({"info", File("c.HUF")}), kExitOk);
    const std::string printed = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(printed.find("Huffman-coded image"), std::string::npos);
    std::ifstream csv(File("r.csv"));
    std::string header, first;
    std::getline(csv, header);
    std::getline(csv, first);
    EXPECT_EQ(first.find(",0,0,"), std::string::npos) << first;  // the lossless rates are filled

    std::vector<std::uint8_t> trained, fromHuffman, fromArithmetic;
    ASSERT_TRUE(ReadWholeFile(File("c.png"), trained));
    ASSERT_EQ(RunCommandLine({"decode", File("c.HUF"), "-o", File("h.png")}), kExitOk);
    ASSERT_EQ(RunCommandLine({"decode", File("c.art"), "-o", File("a.png")}), kExitOk);
    ASSERT_TRUE(ReadWholeFile(File("h.png"), fromHuffman));
    ASSERT_TRUE(ReadWholeFile(File("a.png"), fromArithmetic));
    EXPECT_EQ(fromHuffman, trained);
    EXPECT_EQ(fromArithmetic, trained);

    ::testing::internal::CaptureStderr();
    EXPECT_EQ(RunCommandLine({"decode", File("c.mqc"), "-o", File("x.png")}), kExitOk);
    std::vector<std::uint8_t> coded;
    ASSERT_TRUE(ReadWholeFile(File("c.art"), coded));
    coded.resize(coded.size() - 3);
    ASSERT_TRUE(WriteFileAtomically(File("cut.art"), coded));
    EXPECT_EQ(RunCommandLine({"decode", File("cut.art"), "-o", File("x.png")}), kExitBadFile);
    EXPECT_EQ(RunCommandLine({"train", TestData("photo64-c.png"), "--entropy", "zip"}), kExitUsage);
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("cut.art"), std::string::npos);
}

TEST_F(FileCommandsTest, TheContextualStageIsWrittenReadAndDescribed) {
    ::testing::internal::CaptureStdout();
    ASSERT_EQ(RunCommandLine({"train", TestData("photo64-b.png"), "--block", "4", "--entropy", "contextual", "--results",
                              File("z.csv"), "-o", File("z.mqz"), "-o", File("z.mqc"), "-o", File("z.png")}),
              kExitOk);
    ASSERT_EQ(RunCommandLine({"info", File("z.mqz")}), kExitOk);
    ASSERT_EQ(RunCommandLine({"decode", File("z.mqz"), "-o", File("back.mqc"), "-o", File("back.png")}), kExitOk);
    const std::string printed = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(printed.find("contextual-coded image, " + std::to_string(FileSize(File("z.mqz"))) + " bytes; coded image of " +
                           std::to_string(FileSize(File("z.mqc"))) + " bytes"),
              std::string::npos)
        << printed;
    EXPECT_NE(printed.find("  in the .mqz: indices "), std::string::npos);
    EXPECT_NE(printed.find("order-0 entropy"), std::string::npos);
    EXPECT_LT(FileSize(File("z.mqz")), FileSize(File("z.mqc")));

    std::vector<std::uint8_t> coded, back, trained, decoded;
    ASSERT_TRUE(ReadWholeFile(File("z.mqc"), coded));
    ASSERT_TRUE(ReadWholeFile(File("back.mqc"), back));
    EXPECT_EQ(back, coded);
    ASSERT_TRUE(ReadWholeFile(File("z.png"), trained));
    ASSERT_TRUE(ReadWholeFile(File("back.png"), decoded));
    EXPECT_EQ(decoded, trained);

    // The row's lossless rate and bpp are those of the .mqz.
    std::ifstream csv(File("z.csv"));
    std::string header, row;
    std::getline(csv, header);
    std::getline(csv, row);
    const double bpp = 8.0 * static_cast<double>(FileSize(File("z.mqz"))) / (64 * 64);
    EXPECT_NE(row.find(FormatC(",%.17g,", bpp)), std::string::npos) << row;

    coded.assign(1, 0);
    ASSERT_TRUE(ReadWholeFile(File("z.mqz"), coded));
    coded.back() ^= 1;
    ASSERT_TRUE(WriteFileAtomically(File("bad.mqz"), coded));
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(RunCommandLine({"decode", File("bad.mqz"), "-o", File("x.png")}), kExitBadFile);
    EXPECT_EQ(RunCommandLine({"info", File("bad.mqz")}), kExitBadFile);
    const std::string told = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(told.find("bad.mqz: damaged contextual coded image"), std::string::npos) << told;
    EXPECT_FALSE(std::ifstream(File("x.png")).good());
}

TEST_F(FileCommandsTest, ApplyPrintsOneLoadedFileRow) {
    ::testing::internal::CaptureStdout();
    ASSERT_EQ(RunCommandLine({"apply", TestData("photo64-d.png"), File("c.COD"), "--results", File("a.csv"), "-o", File("a.png")}),
              kExitOk);
    ASSERT_EQ(RunCommandLine({"apply", TestData("photo64-d.png"), File("c.COD") + ":3", File("c.COD") + ":2", File("c.COD")}),
              kExitOk);
    const std::string printed = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(printed.find("  ---"), std::string::npos);
    EXPECT_NE(printed.find(" ("), std::string::npos);
    std::ifstream csv(File("a.csv"));
    std::string header, row;
    std::getline(csv, header);
    std::getline(csv, row);
    EXPECT_EQ(row.substr(0, 2), "0,");
    RgbImage applied;
    EXPECT_TRUE(ReadPngFile(File("a.png"), applied));
}

TEST_F(FileCommandsTest, InfoDescribesChannelsAndSections) {
    ::testing::internal::CaptureStdout();
    ASSERT_EQ(RunCommandLine({"info", File("c.mqc")}), kExitOk);
    ASSERT_EQ(RunCommandLine({"info", File("c.COD")}), kExitOk);
    const std::string printed = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(printed.find("colour space YCbCr (4:2:0)"), std::string::npos);
    EXPECT_NE(printed.find("channel 1: 32 x 32 pixels, block 4 x 4"), std::string::npos);
    EXPECT_NE(printed.find("channel 2: 32 x 32 pixels, block 2 x 2"), std::string::npos);
    EXPECT_NE(printed.find("codebook 3: block 2 x 2"), std::string::npos);
}

// Every command tells a file's kind by its last extension, whatever its case:
// X.MQC and x.png.mqc are coded images to decode, info and compare --like, and
// a name whose last extension is none of the program's is refused.
TEST_F(FileCommandsTest, TheLastExtensionTellsTheKindWhateverItsCase) {
    std::vector<std::uint8_t> coded, trained;
    ASSERT_TRUE(ReadWholeFile(File("c.mqc"), coded));
    ASSERT_TRUE(ReadWholeFile(File("c.png"), trained));
    for (const char* name : {"X.MQC", "x.png.mqc"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(WriteFileAtomically(File(name), coded));
        ::testing::internal::CaptureStdout();
        EXPECT_EQ(RunCommandLine({"info", File(name)}), kExitOk);
        EXPECT_EQ(RunCommandLine({"compare", TestData("photo64-c.png"), "--like", File(name), "--codecs", "jpeg"}),
                  kExitOk);
        const std::string printed = ::testing::internal::GetCapturedStdout();
        EXPECT_NE(printed.find(File(name) + ": coded image of "), std::string::npos) << printed;
        EXPECT_NE(printed.find("pictora"), std::string::npos) << printed;
        const std::string rebuilt = File(name) + ".PNG";
        ASSERT_EQ(RunCommandLine({"decode", File(name), "-o", rebuilt}), kExitOk);
        std::vector<std::uint8_t> decoded;
        ASSERT_TRUE(ReadWholeFile(rebuilt, decoded));
        EXPECT_EQ(decoded, trained);
    }

    ASSERT_TRUE(WriteFileAtomically(File("c.mqc.bak"), coded));
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(RunCommandLine({"decode", File("c.mqc.bak"), "-o", File("bak.png")}), kExitBadFile);
    EXPECT_EQ(RunCommandLine({"info", File("c.mqc.bak")}), kExitUsage);
    EXPECT_EQ(RunCommandLine({"decode", File("c.mqc"), "-o", File("out.png.bak")}), kExitUsage);
    const std::string messages = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(messages.find(File("c.mqc.bak") + ": not a coded image (.mqc, .huf, .art or .mqz)"), std::string::npos)
        << messages;
    EXPECT_NE(messages.find("cannot tell what " + File("c.mqc.bak") + " holds"), std::string::npos) << messages;
    EXPECT_NE(messages.find("cannot tell what to write to " + File("out.png.bak")), std::string::npos) << messages;
    EXPECT_EQ(FileSize(File("bak.png")), -1);
}

// c.COD is YCbCr 4:2:0: one of its sections among RGB ones would code every
// channel as RGB without a word, so the mixture is refused.
TEST_F(FileCommandsTest, ApplyRefusesCodebooksOfDifferentColourSpaces) {
    ::testing::internal::CaptureStdout();
    ASSERT_EQ(RunCommandLine({"train", TestData("photo64-c.png"), "-o", File("rgb.cod")}), kExitOk);
    ::testing::internal::GetCapturedStdout();
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(RunCommandLine({"apply", TestData("photo64-c.png"), File("rgb.cod") + ":1", File("c.COD") + ":2",
                              File("rgb.cod") + ":3", "-o", File("mixed.png")}),
              kExitBadFile);
    const std::string printed = ::testing::internal::GetCapturedStdout();
    const std::string message = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(message, "pictora-cli: " + File("rgb.cod") + " codebook 1 is RGB but " + File("c.COD") +
                           " codebook 2 is YCbCr (4:2:0): the three codebooks must share a colour space\n");
    EXPECT_EQ(printed, "");
    EXPECT_FALSE(std::filesystem::exists(File("mixed.png")));

    ::testing::internal::CaptureStdout();
    EXPECT_EQ(RunCommandLine({"apply", TestData("photo64-c.png"), File("c.COD") + ":3", File("c.COD") + ":2",
                              File("c.COD") + ":1"}),
              kExitOk);
    ::testing::internal::GetCapturedStdout();
}

TEST_F(FileCommandsTest, CountsOfOneAreSingular) {
    ::testing::internal::CaptureStdout();
    ASSERT_EQ(RunCommandLine({"train", TestData("photo64-b.png"), "--block", "12", "--radius", "0.9", "-o",
                              File("one.mqc"), "-o", File("one.cod")}),
              kExitOk);
    ::testing::internal::GetCapturedStdout();
    std::vector<std::uint8_t> book;
    ASSERT_TRUE(ReadWholeFile(File("one.cod"), book));
    book.resize(8 + 8 * 145);  // the first codebook alone: one neuron of 12 x 12 weights and its extra one
    ASSERT_TRUE(WriteFileAtomically(File("first.cod"), book));

    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(RunCommandLine({"info", File("one.mqc")}), kExitOk);
    EXPECT_EQ(RunCommandLine({"info", File("first.cod")}), kExitOk);
    EXPECT_EQ(RunCommandLine({"apply", TestData("photo64-b.png"), File("first.cod") + ":1", File("first.cod") + ":2",
                              File("first.cod") + ":1"}),
              kExitBadFile);
    const std::string printed = ::testing::internal::GetCapturedStdout();
    const std::string messages = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(printed.find("channel 0: 64 x 64 pixels, block 12 x 12, 1 neuron, index width 1\n"), std::string::npos)
        << printed;
    EXPECT_NE(printed.find("codebook 1: block 12 x 12, 1 neuron, colour space RGB\n"), std::string::npos) << printed;
    EXPECT_NE(messages.find("first.cod: holds 1 codebook, not 2"), std::string::npos) << messages;
}

TEST_F(FileCommandsTest, BadFilesAndUsageAreTold) {
    std::vector<std::uint8_t> coded;
    ASSERT_TRUE(ReadWholeFile(File("c.mqc"), coded));
    coded.resize(coded.size() / 2);
    ASSERT_TRUE(WriteFileAtomically(File("cut.mqc"), coded));

    ::testing::internal::CaptureStderr();
    EXPECT_EQ(RunCommandLine({"decode", File("cut.mqc"), "-o", File("x.png")}), kExitBadFile);
    EXPECT_EQ(RunCommandLine({"info", File("cut.mqc")}), kExitBadFile);
    EXPECT_EQ(RunCommandLine({"info", File("c.mqc") + ".absent"}), kExitUsage);
    EXPECT_EQ(RunCommandLine({"info", File("absent.cod")}), kExitBadFile);
    EXPECT_EQ(RunCommandLine({"apply", TestData("photo64-d.png"), File("c.mqc")}), kExitBadFile);
    EXPECT_EQ(RunCommandLine({"apply", TestData("photo64-d.png"), File("c.COD") + ":4", File("c.COD"), File("c.COD")}), kExitBadFile);
    EXPECT_EQ(RunCommandLine({"apply", TestData("photo64-d.png"), File("c.COD") + ":0", File("c.COD"), File("c.COD")}), kExitUsage);
    EXPECT_EQ(RunCommandLine({"apply", TestData("photo64-d.png"), File("c.COD"), File("c.COD")}), kExitUsage);
    EXPECT_EQ(RunCommandLine({"decode", File("c.mqc")}), kExitUsage);
    EXPECT_EQ(RunCommandLine({"decode", File("c.mqc"), "-o", File("x.jpg")}), kExitUsage);
    const std::string messages = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(messages.find("cut.mqc"), std::string::npos);
    EXPECT_NE(messages.find("absent.cod"), std::string::npos);
}

}  // namespace
}  // namespace pictora::cli
