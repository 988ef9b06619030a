#include "report/ResultsRow.h"

#include <gtest/gtest.h>

#include <clocale>
#include <vector>

#include "common/CsvFields.h"
#include "common/SyntheticPng.h"
#include "common/TempFolder.h"
#include "pipeline/ImageCompressor.h"

namespace pictora {
namespace {

using testing::TempFolder;

// Every lever on, the lambda one that %.17g writes with all its digits.
MethodSettings Levers() {
    MethodSettings method;
    method.coding = {CodeBy::Error, 5, 0.1};
    method.deblock = DeblockStrength::Medium;
    return method;
}

// A black image codes exactly: one neuron per channel and an infinite pSNR.
class ResultsRowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(testing::WriteSyntheticPng(folder_.File("black.png"), 16, 16, [](int, int, int) { return 0; }));
        ASSERT_TRUE(compressor_.LoadImage(folder_.File("black.png")));
        TrainingJob job;
        for (ChannelJob& channel : job.channels) {
            channel.passes = 1;
            channel.dimension = 4;
            channel.radius = 0.0;
        }
        job.restart = true;
        ASSERT_TRUE(compressor_.TrainAndCode(job));
    }

    StepResult Training(int step, double losslessRatio) const {
        StepResult result = compressor_.Result(StepOrigin::TrainingStep, step);
        result.losslessRatio = losslessRatio;
        return result;
    }

    TempFolder folder_;
    ImageCompressor compressor_;
};

TEST_F(ResultsRowTest, TrainingRowShowsCountsQualityAndRates) {
    ResultsRow row = FormatResultsRow(Training(7, 0.5));
    EXPECT_EQ(row[0], "7");
    EXPECT_EQ(row[1], "3");
    EXPECT_EQ(row[2], "1");
    EXPECT_EQ(row[5], "inf");
    EXPECT_EQ(row[6], "inf");
    // Each channel: 4 codebook bytes + 64 one-bit codes = 12 bytes of 256.
    EXPECT_EQ(row[10], "4.69%");
    EXPECT_EQ(row[9], "4.69%");
    EXPECT_EQ(row[13], "50.00%");
    EXPECT_EQ(row[14], "2.34%");
    EXPECT_EQ(row[15], "3.0938");
    EXPECT_EQ(row[16], "1.0000");
    EXPECT_EQ(row[17], "—");
    // Without a lossless stage nothing was measured: no rate of 0.
    EXPECT_EQ(FormatResultsRow(Training(1, 0.0))[13], "");
    EXPECT_EQ(FormatResultsRow(Training(1, 0.0))[14], "");
    const std::vector<std::string> fields = testing::CsvFields(FormatResultsCsvLine(Training(1, 0.0), ResultsCsvLayout::Plain));
    EXPECT_EQ(fields[13], "");
    EXPECT_EQ(fields[14], "");
    EXPECT_EQ(testing::CsvFields(FormatResultsCsvLine(Training(1, 0.5), ResultsCsvLayout::Plain))[13], "0.5");
}

TEST_F(ResultsRowTest, LoadedFileRowShowsPrunedCountsAndNoLosslessStage) {
    ResultsRow row = FormatResultsRow(compressor_.Result(StepOrigin::DecodedFile, 7));
    EXPECT_EQ(row[0], "---");
    EXPECT_EQ(row[1], "3 (0)");
    EXPECT_EQ(row[4], "1 (0)");
    EXPECT_EQ(row[12], "4.69%");
    EXPECT_EQ(row[13], "");
    EXPECT_EQ(row[14], "");
}

TEST_F(ResultsRowTest, CsvLineMatchesTheHeader) {
    const std::string line = FormatResultsCsvLine(Training(2, 0.25), ResultsCsvLayout::Plain);
    auto fields = [](const std::string& text) { return std::count(text.begin(), text.end(), ',') + 1; };
    EXPECT_EQ(fields(line), fields(ResultsCsvHeader(ResultsCsvLayout::Plain)));
    EXPECT_EQ(line.substr(0, 10), "2,3,1,1,1,");
    EXPECT_NE(line.find(",0.046875,"), std::string::npos);
    // coded_bytes, then bpp of the 99-byte .mqc (3 x (16 + 4 + 5 + 8)), no
    // lossless stage, SSIM 1 on every plane of the black image, no MS-SSIM
    // for a 16-pixel side, and the parts of the .mqc.
    EXPECT_NE(line.find(",36,3.09375,,1,1,1,1,,,,,12,39,48"), std::string::npos) << line;
    std::vector<std::uint8_t> mqc;
    ASSERT_TRUE(compressor_.EncodeCodedImage(mqc));
    EXPECT_EQ(mqc.size(), 99u);
}

// The file a run with the default settings writes, as it was before the
// method settings existed: no column more, whatever the layout is asked of
// the whole text.
TEST_F(ResultsRowTest, DefaultRowsKeepTheirColumns) {
    const std::string header =
        "step,neurons,neurons_0,neurons_1,neurons_2,psnr,psnr_r,psnr_g,psnr_b,rate,rate_0,rate_1,rate_2,lossless_rate,"
        "total_rate,coded_bytes,bpp,bpp_lossless,ssim,ssim_r,ssim_g,ssim_b,msssim,msssim_r,msssim_g,msssim_b,"
        "codebook_bytes,index_bytes,header_bytes,butteraugli,butteraugli_3norm";
    const std::string line = "1,3,1,1,1,inf,inf,inf,inf,0.046875,0.046875,0.046875,0.046875,,,36,3.09375,,1,1,1,1,,,,,12,39,48,,";
    const std::vector<StepResult> results = {Training(1, 0.0), Training(2, 0.5)};
    EXPECT_EQ(ResultsCsvLayoutFor(MethodSettings{}), ResultsCsvLayout::Plain);
    EXPECT_EQ(ResultsCsvLayoutFor(results), ResultsCsvLayout::Plain);
    EXPECT_EQ(ResultsCsvHeader(ResultsCsvLayout::Plain), header);
    EXPECT_EQ(FormatResultsCsvLine(results[0], ResultsCsvLayout::Plain), line);
    EXPECT_EQ(ResultsCsvText(results), header + "\n" + line + "\n" +
                                           FormatResultsCsvLine(results[1], ResultsCsvLayout::Plain) + "\n");
    EXPECT_EQ(ResultsCsvText({}), header + "\n");
}

// One row made with a lever on gives every row of the file the four method
// columns, the default rows their default values.
TEST_F(ResultsRowTest, LeverRowsCarryTheirMethodSettings) {
    std::vector<StepResult> results = {Training(1, 0.0), Training(2, 0.0)};
    const std::string plainHeader = ResultsCsvHeader(ResultsCsvLayout::Plain);
    const std::string plainLine = FormatResultsCsvLine(results[0], ResultsCsvLayout::Plain);
    results[1].method = Levers();
    EXPECT_EQ(ResultsCsvLayoutFor(Levers()), ResultsCsvLayout::WithMethod);
    EXPECT_EQ(ResultsCsvLayoutFor(results), ResultsCsvLayout::WithMethod);
    const std::string text = ResultsCsvText(results);
    EXPECT_EQ(text, plainHeader + ",code_by,refine,lambda,deblock\n" + plainLine + ",similarity,0,0,0\n" +
                        FormatResultsCsvLine(results[1], ResultsCsvLayout::Plain) +
                        ",error,5,0.10000000000000001,2\n");
    // Each lever alone is enough.
    for (MethodSettings one : {MethodSettings{{CodeBy::Error, 0, 0.0}, DeblockStrength::Off},
                               MethodSettings{{CodeBy::Similarity, 1, 0.0}, DeblockStrength::Off},
                               MethodSettings{{CodeBy::Similarity, 0, 2.5}, DeblockStrength::Off},
                               MethodSettings{{CodeBy::Similarity, 0, 0.0}, DeblockStrength::Strong}}) {
        results[1].method = one;
        EXPECT_EQ(ResultsCsvLayoutFor(results), ResultsCsvLayout::WithMethod);
    }
    EXPECT_TRUE(FormatResultsCsvLine(results[1], ResultsCsvLayout::WithMethod).ends_with(",similarity,0,0,3"));
}

// A result carries the settings it was made with: all of them for a step or
// applied codebooks, only the deblocking for a decoded file.
TEST_F(ResultsRowTest, ResultsCarryTheMethodTheyWereMadeWith) {
    EXPECT_TRUE(Training(1, 0.0).method.IsDefault());
    compressor_.SetMethod(Levers());
    EXPECT_EQ(compressor_.Result(StepOrigin::AppliedCodebook, 0).method, Levers());
    MethodSettings deblocked;
    deblocked.deblock = DeblockStrength::Medium;
    EXPECT_EQ(compressor_.Result(StepOrigin::DecodedFile, 0).method, deblocked);
    EXPECT_EQ(compressor_.MeasuredAgainst(*compressor_.SourceImage().rgb, StepOrigin::DecodedFile, 0).method, deblocked);
    TrainingJob job;
    for (ChannelJob& channel : job.channels) {
        channel.passes = 1;
        channel.dimension = 4;
    }
    job.method.coding.refine = 1;
    ASSERT_TRUE(compressor_.TrainAndCode(job));
    EXPECT_EQ(compressor_.Result(StepOrigin::TrainingStep, 2).method, job.method);
}

// The desktop program runs in its user's locale, where pt_BR writes 24,07;
// the texts must not follow it.
TEST_F(ResultsRowTest, TextsAreTheSameInADecimalCommaLocale) {
    StepResult result = Training(3, 0.5);
    result.figures.quality.psnrMean = 24.0706;
    result.compressionRate = 0.036793;
    const ResultsRow before = FormatResultsRow(result);
    const std::string line = FormatResultsCsvLine(result, ResultsCsvLayout::Plain);
    result.method = Levers();
    const std::string levers = FormatResultsCsvLine(result, ResultsCsvLayout::WithMethod);
    result.method = MethodSettings{};
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous != nullptr ? previous : "C";
    if (std::setlocale(LC_NUMERIC, "pt_BR.UTF-8") == nullptr) GTEST_SKIP() << "pt_BR.UTF-8 is not installed";
    const ResultsRow after = FormatResultsRow(result);
    const std::string again = FormatResultsCsvLine(result, ResultsCsvLayout::Plain);
    result.method = Levers();
    const std::string leversAgain = FormatResultsCsvLine(result, ResultsCsvLayout::WithMethod);
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(after, before);
    EXPECT_EQ(after[5], "24.07");
    EXPECT_EQ(after[9], "3.68%");
    EXPECT_EQ(again, line);
    EXPECT_EQ(leversAgain, levers);
    EXPECT_TRUE(levers.ends_with(",error,5,0.10000000000000001,2")) << levers;
}

}  // namespace
}  // namespace pictora
