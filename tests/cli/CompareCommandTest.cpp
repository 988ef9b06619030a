#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "cli/Commands.h"
#include "common/CsvFields.h"
#include "common/TempFolder.h"
#include "image/PngImage.h"
#include "measures/RateQualityPoint.h"
#include "reference/ReferenceCodecFactory.h"
#include "support/FileIO.h"
#include "support/NumberText.h"

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

int Quietly(const std::vector<std::string>& arguments) {
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    const int code = RunCommandLine(arguments);
    ::testing::internal::GetCapturedStdout();
    ::testing::internal::GetCapturedStderr();
    return code;
}

constexpr const char* kHeader =
    "codec,setting,bytes,bpp,psnr,psnr_r,psnr_g,psnr_b,ssim,msssim,butteraugli,butteraugli_3norm";

// A contextual coded image is compared at the size of its .mqz.
TEST(CompareCommandTest, LikeAContextualCodedImageTakesItsSize) {
    TempFolder folder;
    ASSERT_EQ(Quietly({"train", TestData("photo64-c.png"), "--block", "4", "-o", folder.File("c.mqz")}), kExitOk);
    ASSERT_EQ(Quietly({"compare", TestData("photo64-c.png"), "--like", folder.File("c.mqz"), "--codecs", "jpeg",
                       "--results", folder.File("compare.csv")}),
              kExitOk);
    const std::vector<std::string> lines = Lines(folder.File("compare.csv"));
    ASSERT_EQ(lines.size(), 3u);
    const std::vector<std::string> pictora = CsvFields(lines[1]);
    EXPECT_EQ(pictora[0], "pictora");
    EXPECT_EQ(pictora[2], std::to_string(FileSize(folder.File("c.mqz"))));
    EXPECT_EQ(CsvFields(lines[2])[0], "jpeg");
}

// At the size of a coded image: its own row first, then every codec's best
// setting that fits, each file written, decodable to the pixels measured.
TEST(CompareCommandTest, LikeACodedImageGivesItsRowThenEveryCodecAtMostItsSize) {
    TempFolder folder;
    ASSERT_EQ(Quietly({"train", TestData("photo64-c.png"), "--block", "2", "--steps", "2", "-o", folder.File("b.mqc"),
                       "--results", folder.File("train.csv")}),
              kExitOk);
    ASSERT_EQ(Quietly({"compare", TestData("photo64-c.png"), "--like", folder.File("b.mqc"), "-o", folder.File("refs"),
                       "--results", folder.File("compare.csv")}),
              kExitOk);
    const std::vector<std::string> lines = Lines(folder.File("compare.csv"));
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], kHeader);
    const std::uint64_t target = static_cast<std::uint64_t>(FileSize(folder.File("b.mqc")));

    // The Pictora row is the coded image measured as train measured its step.
    const std::vector<std::string> pictora = CsvFields(lines[1]);
    const std::vector<std::string> step = CsvFields(Lines(folder.File("train.csv"))[2]);
    ASSERT_EQ(pictora.size(), 12u);
    EXPECT_EQ(pictora[0], "pictora");
    EXPECT_EQ(pictora[1], "");
    EXPECT_EQ(pictora[2], std::to_string(target));
    EXPECT_EQ(pictora[3], step[16]);  // bpp
    EXPECT_EQ(pictora[4], step[5]);   // psnr
    EXPECT_EQ(pictora[8], step[18]);  // ssim
    EXPECT_EQ(pictora[9], "");        // no MS-SSIM below 176 pixels a side

    RgbImage source;
    ASSERT_TRUE(ReadPngFile(TestData("photo64-c.png"), source));
    const char* codecs[] = {"jpeg", "webp", "avif", "jxl"};
    for (int k = 0; k < 4; ++k) {
        const std::vector<std::string> row = CsvFields(lines[static_cast<std::size_t>(k + 2)]);
        SCOPED_TRACE(lines[static_cast<std::size_t>(k + 2)]);
        ASSERT_EQ(row.size(), 12u);
        EXPECT_EQ(row[10] + row[11], "");  // Butteraugli only when asked for
        EXPECT_EQ(row[0], codecs[k]);
        ASSERT_FALSE(row[1].empty());
        EXPECT_LE(std::stoull(row[2]), target);
        std::unique_ptr<ReferenceCodec> codec;
        ASSERT_TRUE(MakeReferenceCodec(codecs[k], codec));
        double knob = 0;
        ASSERT_TRUE(ParseReal(row[1], knob));
        EXPECT_EQ(row[1], FormatC("%.17g", knob));
        const std::string file = folder.File("refs/photo64-c-" + row[0] + "-" + ReferenceCodec::KnobText(knob) + "." +
                                             std::string(codec->Extension()));
        std::vector<std::uint8_t> bytes;
        ASSERT_TRUE(ReadWholeFile(file, bytes));
        EXPECT_EQ(std::to_string(bytes.size()), row[2]);
        RgbImage decoded;
        ASSERT_TRUE(codec->Decode(bytes, decoded));
        RateQualityPoint figures;
        ASSERT_TRUE(MeasurePair(source, decoded, bytes.size(), MeasureSet::All, figures));
        EXPECT_EQ(FormatC("%.17g", figures.quality.psnrMean), row[4]);
        EXPECT_EQ(FormatC("%.17g", *figures.similarity.ssim), row[8]);
    }
}

TEST(CompareCommandTest, ATargetBelowEveryFileGivesEmptyRowsAndSettingsGiveOneRowEach) {
    TempFolder folder;
    ASSERT_EQ(Quietly({"compare", TestData("photo64-a.png"), "--bytes", "20", "--codecs", "jpeg,webp", "--results",
                       folder.File("small.csv")}),
              kExitOk);
    EXPECT_EQ(Lines(folder.File("small.csv")), (std::vector<std::string>{kHeader, "jpeg,,,,,,,,,,,", "webp,,,,,,,,,,,"}));

    ASSERT_EQ(Quietly({"compare", TestData("photo500-tiger.png"), "--setting", "50,90", "--codecs", "jpeg",
                       "--results", folder.File("settings.csv")}),
              kExitOk);
    const std::vector<std::string> lines = Lines(folder.File("settings.csv"));
    ASSERT_EQ(lines.size(), 3u);
    const std::vector<std::string> low = CsvFields(lines[1]);
    const std::vector<std::string> high = CsvFields(lines[2]);
    EXPECT_EQ(low[1], "50");
    EXPECT_EQ(high[1], "90");
    EXPECT_LT(std::stoull(low[2]), std::stoull(high[2]));
    EXPECT_FALSE(high[9].empty());  // 500 pixels a side: MS-SSIM is defined
    double ssimLow = 0, ssimHigh = 0;
    ASSERT_TRUE(ParseReal(low[8], ssimLow));
    ASSERT_TRUE(ParseReal(high[8], ssimHigh));
    EXPECT_LT(ssimLow, ssimHigh);
}

TEST(CompareCommandTest, BadUsageAndBadFilesAreTold) {
    TempFolder folder;
    const std::string image = TestData("photo64-a.png");
    EXPECT_EQ(Quietly({"compare", image}), kExitUsage);
    EXPECT_EQ(Quietly({"compare", image, "--bytes", "100", "--setting", "50"}), kExitUsage);
    EXPECT_EQ(Quietly({"compare", image, "--bytes", "100", "--codecs", "gif"}), kExitUsage);
    EXPECT_EQ(Quietly({"compare", image, "--setting", "0.7", "--codecs", "jpeg"}), kExitUsage);
    EXPECT_EQ(Quietly({"compare", image, "--setting", "101", "--codecs", "webp"}), kExitUsage);
    EXPECT_EQ(Quietly({"compare", folder.File("absent.png"), "--bytes", "100"}), kExitBadFile);
    std::vector<std::uint8_t> junk(40, 3);
    ASSERT_TRUE(WriteFileAtomically(folder.File("junk.mqc"), junk));
    EXPECT_EQ(Quietly({"compare", image, "--like", folder.File("junk.mqc")}), kExitBadFile);
}

}  // namespace
}  // namespace pictora::cli
