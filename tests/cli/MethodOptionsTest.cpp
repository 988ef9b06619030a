// The method's options on the command line: how they are read, and what the
// commands that take them write.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "cli/Commands.h"
#include "cli/TrainOptions.h"
#include "common/CsvFields.h"
#include "common/TempFolder.h"

namespace pictora::cli {
namespace {

using pictora::testing::CsvFields;
using pictora::testing::TempFolder;
using pictora::testing::TestData;

std::vector<std::string> Lines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

int Quietly(std::vector<std::string> arguments) {
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    const int code = RunCommandLine(arguments);
    ::testing::internal::GetCapturedStdout();
    ::testing::internal::GetCapturedStderr();
    return code;
}

// The fields of the last row of a results file.
std::vector<std::string> LastRow(const std::string& path) { return CsvFields(Lines(path).back()); }

// The method columns a results file ends its header and last row with, or ""
// when it has none.
std::string MethodColumns(const std::string& path) {
    const std::vector<std::string> lines = Lines(path);
    const std::vector<std::string> header = CsvFields(lines.front());
    if (header.back() != "deblock") return "";
    const std::vector<std::string> row = CsvFields(lines.back());
    EXPECT_EQ(row.size(), header.size()) << path;
    std::string columns;
    for (std::size_t k = row.size() - 4; k < row.size(); ++k) columns += (columns.empty() ? "" : ",") + row[k];
    return columns;
}

TEST(MethodOptionsTest, AreReadIntoTheRunsMethodSettings) {
    TrainOptions defaults;
    std::string error;
    ASSERT_TRUE(ParseTrainOptions({"x.png"}, defaults, error)) << error;
    EXPECT_TRUE(defaults.method.IsDefault());
    EXPECT_TRUE(JobTemplate(defaults).method.IsDefault());

    TrainOptions options;
    ASSERT_TRUE(ParseTrainOptions({"x.png", "--code-by", "error", "--refine", "4", "--lambda", "2.5", "--deblock", "3"},
                                  options, error))
        << error;
    const MethodSettings expected{{CodeBy::Error, 4, 2.5}, DeblockStrength::Strong};
    EXPECT_EQ(options.method, expected);
    EXPECT_EQ(JobTemplate(options).method, expected);

    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"--code-by", "pixels"}, {"--refine", "-1"}, {"--refine", "1.5"}, {"--lambda", "-2"},
          {"--lambda", "nan"}, {"--lambda", "inf"}, {"--deblock", "4"}, {"--deblock", "-1"}, {"--deblock", "1.0"}}) {
        TrainOptions refused;
        std::vector<std::string> arguments = {"x.png"};
        arguments.insert(arguments.end(), bad.begin(), bad.end());
        EXPECT_FALSE(ParseTrainOptions(arguments, refused, error)) << bad[0] << " " << bad[1];
        EXPECT_NE(error.find(bad[0]), std::string::npos) << error;
    }
}

// Defaults spelt out write what no options write, byte for byte.
TEST(MethodOptionsTest, TheDefaultsSpeltOutChangeNothing) {
    TempFolder folder;
    for (const char* run : {"plain", "spelt"}) {
        std::vector<std::string> arguments = {"train", TestData("photo64-a.png"), "--block", "4", "--steps", "2",
                                              "--results", folder.File(std::string(run) + ".csv"), "-o",
                                              folder.File(std::string(run) + ".mqc"), "-o",
                                              folder.File(std::string(run) + ".cod")};
        if (std::string(run) == "spelt")
            arguments.insert(arguments.end(), {"--code-by", "similarity", "--refine", "0", "--lambda", "0", "--deblock", "0"});
        ASSERT_EQ(Quietly(arguments), kExitOk);
    }
    for (const char* extension : {".csv", ".mqc", ".cod"})
        EXPECT_EQ(Contents(folder.File(std::string("plain") + extension)), Contents(folder.File(std::string("spelt") + extension)))
            << extension;
}

// Every lever on, in every colour space: the plain scan writes the same files
// as the fast search, and the coded image decodes, with the same deblocking,
// to the pixels that were measured.
TEST(MethodOptionsTest, FilesWrittenWithTheLeversOnDecodeToThePixelsMeasured) {
    TempFolder folder;
    for (const char* space : {"rgb", "ycbcr420"}) {
        SCOPED_TRACE(space);
        for (const char* mode : {"plain", "fast"}) {
            std::vector<std::string> arguments = {"train", TestData("photo64-b.png"), "--color-space", space, "--block",
                                                  "4,3,5", "--radius", "0.03", "--steps", "2", "--code-by", "error",
                                                  "--refine", "2", "--lambda", "3", "--deblock", "2", "--results",
                                                  folder.File(std::string(mode) + ".csv")};
            for (const char* extension : {".mqc", ".cod", ".png"})
                arguments.insert(arguments.end(), {"-o", folder.File(mode + std::string(extension))});
            if (std::string(mode) == "plain") arguments.push_back("--reference-search");
            ASSERT_EQ(Quietly(arguments), kExitOk);
        }
        for (const char* extension : {".csv", ".mqc", ".cod", ".png"})
            EXPECT_EQ(Contents(folder.File(std::string("plain") + extension)), Contents(folder.File(std::string("fast") + extension)))
                << extension;

        ASSERT_EQ(Quietly({"decode", folder.File("fast.mqc"), "--deblock", "2", "--reference", TestData("photo64-b.png"),
                           "--results", folder.File("decoded.csv"), "-o", folder.File("decoded.png")}),
                  kExitOk);
        EXPECT_EQ(Contents(folder.File("decoded.png")), Contents(folder.File("fast.png")));
        const std::vector<std::string> trained = LastRow(folder.File("fast.csv"));
        const std::vector<std::string> decoded = LastRow(folder.File("decoded.csv"));
        for (int k : {5, 6, 7, 8, 16}) EXPECT_EQ(decoded[static_cast<std::size_t>(k)], trained[static_cast<std::size_t>(k)]) << k;
        // The file does not record the filter: decoded without it, it measures otherwise.
        ASSERT_EQ(Quietly({"decode", folder.File("fast.mqc"), "--reference", TestData("photo64-b.png"), "--results",
                           folder.File("unfiltered.csv")}),
                  kExitOk);
        EXPECT_NE(LastRow(folder.File("unfiltered.csv"))[5], trained[5]);
        // Each file says which levers made its rows: a decoded file only its deblocking.
        EXPECT_EQ(MethodColumns(folder.File("fast.csv")), "error,2,3,2");
        EXPECT_EQ(MethodColumns(folder.File("decoded.csv")), "similarity,0,0,2");
        EXPECT_EQ(MethodColumns(folder.File("unfiltered.csv")), "");
    }
}

// Applied codebooks are coded, refined and pruned by the options too; what
// apply writes decodes to what it measured.
TEST(MethodOptionsTest, ApplyCodesWithTheLevers) {
    TempFolder folder;
    const std::string image = TestData("photo64-d.png");
    ASSERT_EQ(Quietly({"train", image, "--block", "4", "--radius", "0.05", "-o", folder.File("books.cod")}), kExitOk);
    ASSERT_EQ(Quietly({"apply", image, folder.File("books.cod"), "--results", folder.File("similarity.csv")}), kExitOk);
    ASSERT_EQ(Quietly({"apply", image, folder.File("books.cod"), "--code-by", "error", "--results",
                       folder.File("error.csv")}),
              kExitOk);
    EXPECT_GT(std::stod(LastRow(folder.File("error.csv"))[5]), std::stod(LastRow(folder.File("similarity.csv"))[5]));

    ASSERT_EQ(Quietly({"apply", image, folder.File("books.cod"), "--code-by", "error", "--refine", "3", "--lambda", "40",
                       "--deblock", "1", "--results", folder.File("levers.csv"), "-o", folder.File("levers.mqc"), "-o",
                       folder.File("levers.png")}),
              kExitOk);
    const std::vector<std::string> applied = LastRow(folder.File("levers.csv"));
    EXPECT_LT(std::stoul(applied[1]), std::stoul(LastRow(folder.File("error.csv"))[1]));  // pruned for rate
    ASSERT_EQ(Quietly({"decode", folder.File("levers.mqc"), "--deblock", "1", "--reference", image, "--results",
                       folder.File("decoded.csv"), "-o", folder.File("decoded.png")}),
              kExitOk);
    EXPECT_EQ(Contents(folder.File("decoded.png")), Contents(folder.File("levers.png")));
    EXPECT_EQ(LastRow(folder.File("decoded.csv"))[5], applied[5]);
    EXPECT_EQ(MethodColumns(folder.File("similarity.csv")), "");
    EXPECT_EQ(MethodColumns(folder.File("error.csv")), "error,0,0,0");
    EXPECT_EQ(MethodColumns(folder.File("levers.csv")), "error,3,40,1");
}

TEST(MethodOptionsTest, CompareDecodesTheLikeFileWithItsDeblocking) {
    TempFolder folder;
    const std::string image = TestData("photo64-c.png");
    ASSERT_EQ(Quietly({"train", image, "--block", "4", "--deblock", "3", "--results", folder.File("train.csv"), "-o",
                       folder.File("c.mqc")}),
              kExitOk);
    ASSERT_EQ(Quietly({"compare", image, "--like", folder.File("c.mqc"), "--deblock", "3", "--codecs", "webp",
                       "--results", folder.File("compare.csv")}),
              kExitOk);
    EXPECT_EQ(CsvFields(Lines(folder.File("compare.csv"))[1])[4], LastRow(folder.File("train.csv"))[5]);
    EXPECT_EQ(Quietly({"compare", image, "--bytes", "900", "--deblock", "1"}), kExitUsage);
    EXPECT_EQ(Quietly({"decode", folder.File("c.mqc"), "-o", folder.File("x.png"), "--refine", "2"}), kExitUsage);
}

}  // namespace
}  // namespace pictora::cli
