#include <gtest/gtest.h>

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "cli/Commands.h"
#include "cli/ShellQuote.h"
#include "common/TempFolder.h"
#include "image/PngImage.h"
#include "measures/RateQualityPoint.h"
#include "reference/ReferenceCodecFactory.h"
#include "support/NumberText.h"

namespace pictora::cli {
namespace {

using pictora::testing::TempFolder;
using pictora::testing::TestData;

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> Lines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = line.find(',', start);
        fields.push_back(line.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos) return fields;
        start = comma + 1;
    }
}

// A small sweep: one 64 x 64 photo, two radii, two steps, the JPEG ladder.
std::vector<std::string> SmallSweep(const std::string& folder, std::vector<std::string> more = {}) {
    std::vector<std::string> arguments = {"sweep",    TestData("photo64-a.png"), TestData("photo64-c.png"),
                                          "--block",  "4",
                                          "--radius", "0.2,0.1",
                                          "--steps",  "2",
                                          "--codecs", "jpeg",
                                          "-o",       folder};
    arguments.insert(arguments.end(), more.begin(), more.end());
    return arguments;
}

constexpr std::size_t kJpegRungs = 19;
constexpr std::size_t kSmallSweepJobs = 6;           // per image: two cells and one ladder
constexpr std::size_t kSmallSweepRows = 2 * (4 + kJpegRungs);

std::string Quoted(const std::vector<std::string>& words) {
    std::string command;
    for (const std::string& word : words) command += " " + ShellQuote(word);
    return command;
}

// Runs the real program with `arguments` through the shell; its exit code.
int RunProgram(const std::vector<std::string>& arguments, const std::string& stdoutPath = "/dev/null") {
    const std::string command =
        ShellQuote(PICTORA_CLI_PATH) + Quoted(arguments) + " >" + ShellQuote(stdoutPath) + " 2>/dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int Collect(const std::string& folder, std::string& stderrText) {
    ::testing::internal::CaptureStderr();
    const int code = RunCommandLine(SmallSweep(folder, {"--collect"}));
    stderrText = ::testing::internal::GetCapturedStderr();
    return code;
}

class SweepCommandTest : public ::testing::Test {
protected:
    // One sweep run in process with two jobs at once, shared by the tests.
    static void SetUpTestSuite() {
        folder_ = new TempFolder;
        ::testing::internal::CaptureStderr();
        code_ = RunCommandLine(SmallSweep(Folder(), {"--jobs", "2"}));
        ::testing::internal::GetCapturedStderr();
    }
    static void TearDownTestSuite() { delete folder_; }
    static std::string Folder() { return folder_->File("run"); }

    static TempFolder* folder_;
    static int code_;
};
TempFolder* SweepCommandTest::folder_ = nullptr;
int SweepCommandTest::code_ = -1;

TEST_F(SweepCommandTest, ResultsHaveOneRowPerPointInImageCellStepAndCodecOrder) {
    ASSERT_EQ(code_, kExitOk);
    const std::vector<std::string> lines = Lines(Folder() + "/results.csv");
    ASSERT_EQ(lines.size(), 1 + kSmallSweepRows);
    EXPECT_EQ(lines[0],
              "image,width,height,codec,color_space,block,radius,alfa,filter,entropy,code_by,refine,lambda,deblock,step,"
              "setting,bytes,bpp,psnr,ssim,msssim,butteraugli,butteraugli_3norm");
    for (std::size_t image = 0; image < 2; ++image) {
        const std::size_t first = 1 + image * (4 + kJpegRungs);
        const std::string name = image == 0 ? "photo64-a.png" : "photo64-c.png";
        const std::vector<std::string> radii = {"0.20000000000000001", "0.20000000000000001", "0.10000000000000001",
                                                "0.10000000000000001"};
        for (std::size_t k = 0; k < 4; ++k) {
            const std::vector<std::string> f = Fields(lines[first + k]);
            ASSERT_EQ(f.size(), 23u);
            EXPECT_EQ(f[21] + f[22], "");  // Butteraugli only when asked for
            EXPECT_EQ(f[0] + "," + f[1] + "," + f[2] + "," + f[3], name + ",64,64,pictora");
            EXPECT_EQ(f[4] + "," + f[5] + "," + f[6] + "," + f[7] + "," + f[8],
                      "rgb,4," + radii[k] + ",0.10000000000000001,none");
            EXPECT_EQ(f[9] + "," + f[10] + "," + f[11] + "," + f[12] + "," + f[13], "none,similarity,0,0,0");
            EXPECT_EQ(f[14], std::to_string(k % 2 + 1));
            EXPECT_EQ(f[15], "");  // no setting for a Pictora point
            const double bpp = std::strtoull(f[16].c_str(), nullptr, 10) * 8.0 / (64 * 64);
            EXPECT_EQ(f[17], FormatC("%.17g", bpp));
        }
        const std::vector<double> ladder = MakeReferenceCodec(ReferenceCodecKind::Jpeg)->Ladder();
        for (std::size_t k = 0; k < kJpegRungs; ++k) {
            const std::vector<std::string> f = Fields(lines[first + 4 + k]);
            ASSERT_EQ(f.size(), 23u);
            EXPECT_EQ(f[21] + f[22], "");  // Butteraugli only when asked for
            EXPECT_EQ(f[0] + "," + f[3], name + ",jpeg");
            for (std::size_t empty = 4; empty <= 14; ++empty) EXPECT_EQ(f[empty], "") << lines[first + 4 + k];
            EXPECT_EQ(f[15], FormatC("%.17g", ladder[k]));
        }
    }
}

TEST_F(SweepCommandTest, PictoraPointsAreThoseOfTrain) {
    ASSERT_EQ(code_, kExitOk);
    const std::vector<std::string> lines = Lines(Folder() + "/results.csv");
    TempFolder folder;
    ::testing::internal::CaptureStdout();
    const int code = RunCommandLine({"train", TestData("photo64-c.png"), "--block", "4", "--radius", "0.1", "--steps",
                                     "2", "--results", folder.File("train.csv")});
    ::testing::internal::GetCapturedStdout();
    ASSERT_EQ(code, kExitOk);
    const std::vector<std::string> trained = Lines(folder.File("train.csv"));
    ASSERT_EQ(trained.size(), 3u);
    for (std::size_t step = 0; step < 2; ++step) {
        const std::vector<std::string> swept = Fields(lines[1 + (4 + kJpegRungs) + 2 + step]);
        const std::vector<std::string> train = Fields(trained[1 + step]);
        // bpp, psnr, ssim, msssim of the two files' columns
        EXPECT_EQ(swept[17], train[16]);
        EXPECT_EQ(swept[18], train[5]);
        EXPECT_EQ(swept[19], train[18]);
        EXPECT_EQ(swept[20], train[22]);
        EXPECT_FALSE(swept[19].empty());
    }
}

std::string OptionalText(const std::optional<double>& value) { return value ? FormatC("%.17g", *value) : ""; }

TEST_F(SweepCommandTest, ReferencePointsAreThoseOfTheLadderEncodings) {
    ASSERT_EQ(code_, kExitOk);
    const std::vector<std::string> lines = Lines(Folder() + "/results.csv");
    RgbImage source;
    ASSERT_TRUE(ReadPngFile(TestData("photo64-a.png"), source));
    const std::unique_ptr<ReferenceCodec> jpeg = MakeReferenceCodec(ReferenceCodecKind::Jpeg);
    const std::vector<double> ladder = jpeg->Ladder();
    for (std::size_t k = 0; k < ladder.size(); ++k) {
        std::vector<std::uint8_t> file;
        ASSERT_TRUE(jpeg->Encode(source, ladder[k], file));
        RgbImage decoded;
        ASSERT_TRUE(jpeg->Decode(file, decoded));
        RateQualityPoint figures;
        ASSERT_TRUE(MeasurePair(source, decoded, file.size(), MeasureSet::All, figures));
        const std::vector<std::string> f = Fields(lines[1 + 4 + k]);
        EXPECT_EQ(f[16], std::to_string(file.size()));
        EXPECT_EQ(f[17], FormatC("%.17g", figures.bpp));
        EXPECT_EQ(f[18], FormatC("%.17g", figures.quality.psnrMean));
        EXPECT_EQ(f[19], OptionalText(figures.similarity.ssim));
        EXPECT_EQ(f[20], OptionalText(figures.similarity.msSsim));
    }
}

TEST_F(SweepCommandTest, BdRateHasARowPerFamilyCodecAndMeasure) {
    ASSERT_EQ(code_, kExitOk);
    const std::vector<std::string> lines = Lines(Folder() + "/bd-rate.csv");
    ASSERT_EQ(lines.size(), 1u + 2 * 2);  // per image one family (both radii) against jpeg, two measures
    EXPECT_EQ(lines[0], "image,color_space,block,alfa,filter,entropy,code_by,refine,deblock,reference,measure,bd_rate,"
                        "overlap_low,overlap_high");
    const std::vector<std::string> psnr = Fields(lines[1]);
    ASSERT_EQ(psnr.size(), 14u);
    EXPECT_EQ(psnr[0] + "," + psnr[1] + "," + psnr[2] + "," + psnr[4] + "," + psnr[5] + "," + psnr[6] + "," +
                  psnr[7] + "," + psnr[8] + "," + psnr[9] + "," + psnr[10],
              "photo64-a.png,rgb,4,none,none,similarity,0,0,jpeg,psnr");
    EXPECT_EQ(Fields(lines[2])[10], "msssim");
    EXPECT_EQ(Fields(lines[3])[0], "photo64-c.png");
}

struct DocumentDeleter {
    void operator()(xmlDoc* document) const { xmlFreeDoc(document); }
};

int CountElements(const xmlNode* node, const char* name) {
    int count = 0;
    for (; node != nullptr; node = node->next) {
        if (node->type == XML_ELEMENT_NODE && xmlStrcmp(node->name, reinterpret_cast<const xmlChar*>(name)) == 0)
            ++count;
        count += CountElements(node->children, name);
    }
    return count;
}

TEST_F(SweepCommandTest, ChartsAreWellFormedSvgWithOnePathPerCurveAndDecodablePng) {
    ASSERT_EQ(code_, kExitOk);
    for (const char* stem : {"photo64-a", "photo64-c"})
        for (const char* measure : {"psnr", "msssim"}) {
            const std::string base = Folder() + "/" + stem + "/rd-" + measure;
            const std::string svg = Contents(base + ".svg");
            std::unique_ptr<xmlDoc, DocumentDeleter> document(
                xmlReadMemory(svg.data(), static_cast<int>(svg.size()), "chart.svg", "UTF-8",
                              XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
            ASSERT_NE(document, nullptr) << base;
            // The family and jpeg by pSNR; MS-SSIM is not defined at 64 x 64, so its curves are empty.
            const int curves = std::string(measure) == "psnr" ? 2 : 0;
            EXPECT_EQ(CountElements(xmlDocGetRootElement(document.get()), "path"), curves) << base;
            EXPECT_NE(svg.find(std::string(stem) + ".png"), std::string::npos);
            RgbImage png;
            ASSERT_TRUE(ReadPngFile(base + ".png", png)) << base;
            EXPECT_GT(png.width, 0);
        }
}

// Plan, every printed command run by a plain shell loop (and by GNU parallel
// when installed), then the collection: the same results as the sweep run in
// process, byte for byte.
TEST_F(SweepCommandTest, PlannedJobsCollectToTheSameResults) {
    ASSERT_EQ(code_, kExitOk);
    TempFolder folder;
    const std::string plan = folder.File("plan.txt");
    std::vector<std::string> runners = {"while IFS= read -r line; do bash -c \"$line\" || exit 1; done <"};
    if (std::system("command -v parallel >/dev/null 2>&1") == 0) runners.push_back("parallel --will-cite -j 2 <");
    for (std::size_t r = 0; r < runners.size(); ++r) {
        const std::string out = folder.File("planned" + std::to_string(r));
        ASSERT_EQ(RunProgram(SmallSweep(out, {"--plan"}), plan), kExitOk);
        const std::vector<std::string> commands = Lines(plan);
        ASSERT_EQ(commands.size(), kSmallSweepJobs);
        EXPECT_NE(commands[0].find("--job 0"), std::string::npos);
        EXPECT_FALSE(std::filesystem::exists(out));  // planning runs nothing
        ASSERT_EQ(std::system(("bash -c " + ShellQuote(runners[r] + ShellQuote(plan))).c_str()), 0) << runners[r];
        std::string messages;
        ASSERT_EQ(Collect(out, messages), kExitOk) << messages;
        EXPECT_EQ(Contents(out + "/results.csv"), Contents(Folder() + "/results.csv")) << runners[r];
        EXPECT_EQ(Contents(out + "/bd-rate.csv"), Contents(Folder() + "/bd-rate.csv")) << runners[r];
        EXPECT_EQ(Contents(out + "/summary.csv"), Contents(Folder() + "/summary.csv")) << runners[r];
    }
}

// Four photos, four radii and two codecs: BD-rates defined on most images,
// so the set-level summary has real intervals. An independent script
// recomputes it from bd-rate.csv; one job at a time, two at once and the
// planned jobs all give the same bytes.
TEST(SweepSummaryTest, TheSummaryAgreesWithAnIndependentRecomputationForAnyWayOfRunning) {
    if (std::system("command -v python3 >/dev/null 2>&1") != 0) GTEST_SKIP() << "python3 is not installed";
    TempFolder folder;
    const auto sweep = [&](const std::string& out, std::vector<std::string> more) {
        std::vector<std::string> arguments = {"sweep"};
        for (const char* photo : {"photo64-a.png", "photo64-b.png", "photo64-c.png", "photo64-d.png"})
            arguments.push_back(TestData(photo));
        for (const char* word : {"--block", "4", "--radius", "0.3,0.2,0.1,0.05", "--steps", "2", "--codecs", "jpeg,webp",
                                 "-o"})
            arguments.push_back(word);
        arguments.push_back(folder.File(out));
        arguments.insert(arguments.end(), more.begin(), more.end());
        return arguments;
    };
    const std::string printed = folder.File("printed.txt");
    ASSERT_EQ(RunProgram(sweep("one", {"--jobs", "1"}), printed), kExitOk);
    const std::string summary = Contents(folder.File("one/summary.csv"));
    const std::vector<std::string> lines = Lines(folder.File("one/summary.csv"));
    ASSERT_EQ(lines.size(), 5u);  // one family, two codecs, two measures
    EXPECT_EQ(lines[0], "color_space,block,alfa,filter,entropy,code_by,refine,deblock,reference,measure,images,mean,"
                        "median,ci_low,ci_high");
    EXPECT_NE(Fields(lines[1])[10], "0");  // pSNR BD-rates exist

    const std::string check = ShellQuote(std::string(PICTORA_SOURCE_DIR) + "/tests/tools/check_summary.py") + " " +
                              ShellQuote(folder.File("one/bd-rate.csv")) + " " +
                              ShellQuote(folder.File("one/summary.csv"));
    EXPECT_EQ(std::system(("python3 " + check + " >/dev/null").c_str()), 0) << check;

    // The table on stdout: a caption line and one line per summary row, the
    // family by its legend.
    const std::vector<std::string> table = Lines(printed);
    ASSERT_EQ(table.size(), 5u);
    EXPECT_EQ(table[0].substr(0, 6), "family");
    EXPECT_NE(table[1].find("rgb 4×4 ALFA 0.1"), std::string::npos);
    EXPECT_NE(table[1].find("jpeg"), std::string::npos);
    EXPECT_NE(table[1].find("["), std::string::npos);

    ASSERT_EQ(RunProgram(sweep("two", {"--jobs", "2"})), kExitOk);
    EXPECT_EQ(Contents(folder.File("two/summary.csv")), summary);
    const std::string plan = folder.File("plan.txt");
    ASSERT_EQ(RunProgram(sweep("planned", {"--plan"}), plan), kExitOk);
    const std::string runner = std::system("command -v parallel >/dev/null 2>&1") == 0
                                   ? "parallel --will-cite -j 2 <"
                                   : "while IFS= read -r line; do bash -c \"$line\" || exit 1; done <";
    ASSERT_EQ(std::system(("bash -c " + ShellQuote(runner + ShellQuote(plan))).c_str()), 0);
    ASSERT_EQ(RunProgram(sweep("planned", {"--collect"})), kExitOk);
    EXPECT_EQ(Contents(folder.File("planned/summary.csv")), summary);
}

TEST_F(SweepCommandTest, AnInterruptedSweepResumesWithoutRedoingFinishedJobs) {
    ASSERT_EQ(code_, kExitOk);
    TempFolder folder;
    const std::string copy = folder.File("copy");
    std::filesystem::copy(Folder(), copy, std::filesystem::copy_options::recursive);
    const std::string parts = copy + "/parts/";
    std::filesystem::remove(parts + "job-1.part");
    std::filesystem::remove(parts + "job-5.part");

    std::string messages;
    EXPECT_EQ(Collect(copy, messages), kExitBadFile);
    EXPECT_NE(messages.find("2 of 6 jobs"), std::string::npos) << messages;
    EXPECT_NE(messages.find("job-1.part"), std::string::npos) << messages;
    EXPECT_NE(messages.find("job-5.part"), std::string::npos) << messages;
    EXPECT_EQ(messages.find("job-2.part"), std::string::npos) << messages;

    // Back-date the kept parts so that a rewrite would show.
    const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
    for (int job : {0, 2, 3, 4}) std::filesystem::last_write_time(parts + "job-" + std::to_string(job) + ".part", old);
    ::testing::internal::CaptureStderr();
    const int code = RunCommandLine(SmallSweep(copy, {"--jobs", "1"}));
    messages = ::testing::internal::GetCapturedStderr();
    ASSERT_EQ(code, kExitOk) << messages;
    EXPECT_NE(messages.find("2 run now, 4 already done"), std::string::npos) << messages;
    for (int job : {0, 2, 3, 4})
        EXPECT_EQ(std::filesystem::last_write_time(parts + "job-" + std::to_string(job) + ".part"), old) << job;
    EXPECT_EQ(Contents(copy + "/results.csv"), Contents(Folder() + "/results.csv"));
}

TEST_F(SweepCommandTest, TheCollectionRefusesADamagedPart) {
    ASSERT_EQ(code_, kExitOk);
    TempFolder folder;
    const std::string copy = folder.File("copy");
    std::filesystem::copy(Folder(), copy, std::filesystem::copy_options::recursive);
    const std::string part = copy + "/parts/job-2.part";
    const std::string text = Contents(part);
    std::ofstream(part, std::ios::binary | std::ios::trunc) << text.substr(0, text.size() / 2);
    std::string messages;
    EXPECT_EQ(Collect(copy, messages), kExitBadFile);
    EXPECT_NE(messages.find("damaged sweep part"), std::string::npos) << messages;
    EXPECT_NE(messages.find("job-2.part"), std::string::npos) << messages;
}

// The versions a folder's parts were made with are kept beside them; a
// collection by a program with other libraries is refused and changes nothing.
TEST_F(SweepCommandTest, TheCollectionRefusesPartsMadeWithOtherLibraryVersions) {
    ASSERT_EQ(code_, kExitOk);
    EXPECT_EQ(Contents(Folder() + "/versions.txt").rfind("jpeg: libjpeg-turbo ", 0), 0u);
    TempFolder folder;
    const std::string copy = folder.File("copy");
    std::filesystem::copy(Folder(), copy, std::filesystem::copy_options::recursive);
    std::ofstream(copy + "/versions.txt", std::ios::binary | std::ios::trunc) << "jpeg: libjpeg-turbo 1.0.0\n";
    const std::string results = Contents(copy + "/results.csv");
    std::filesystem::remove(copy + "/summary.csv");
    std::string messages;
    EXPECT_EQ(Collect(copy, messages), kExitBadFile);
    EXPECT_NE(messages.find("other library versions"), std::string::npos) << messages;
    EXPECT_NE(messages.find("libjpeg-turbo 1.0.0"), std::string::npos) << messages;
    EXPECT_FALSE(std::filesystem::exists(copy + "/summary.csv"));
    EXPECT_EQ(Contents(copy + "/results.csv"), results);
}

// report.html: one page with everything inside it, written by the sweep and
// by --collect, and left out with --report off.
TEST_F(SweepCommandTest, TheReportIsOneSelfContainedPageWithTheTablesAndCharts) {
    ASSERT_EQ(code_, kExitOk);
    const std::string page = Contents(Folder() + "/report.html");
    ASSERT_FALSE(page.empty());
    EXPECT_EQ(page.rfind("<!DOCTYPE html>", 0), 0u);
    EXPECT_NE(page.find("<meta name=\"viewport\""), std::string::npos);
    EXPECT_NE(page.find("pictora-cli "), std::string::npos);      // the program's version
    EXPECT_NE(page.find("libjpeg-turbo "), std::string::npos);    // the libraries'
    EXPECT_NE(page.find("id=\"summary\""), std::string::npos);
    std::size_t charts = 0;
    for (std::size_t at = page.find("<svg "); at != std::string::npos; at = page.find("<svg ", at + 1)) ++charts;
    EXPECT_EQ(charts, 4u);  // two images, pSNR and MS-SSIM
    EXPECT_EQ(page.find("<?xml"), std::string::npos);
    // Nothing fetched from elsewhere: no scripts, styles, fonts or images by
    // address; the crops (source, Pictora, jpeg per image) are inside the page.
    for (const char* outside : {"<link", "@import", "url(", "https:", "<script src"})
        EXPECT_EQ(page.find(outside), std::string::npos) << outside;
    std::size_t images = 0, inside = 0;
    for (std::size_t at = page.find("src="); at != std::string::npos; at = page.find("src=", at + 1), ++images)
        if (page.compare(at, 27, "src=\"data:image/png;base64,") == 0) ++inside;
    EXPECT_EQ(images, 6u);
    EXPECT_EQ(inside, images);

    TempFolder folder;
    const std::string copy = folder.File("copy");
    std::filesystem::copy(Folder(), copy, std::filesystem::copy_options::recursive);
    std::filesystem::remove(copy + "/report.html");
    std::string messages;
    ASSERT_EQ(Collect(copy, messages), kExitOk) << messages;
    EXPECT_EQ(Contents(copy + "/report.html"), page);
    std::filesystem::remove(copy + "/report.html");
    ASSERT_EQ(RunProgram(SmallSweep(copy, {"--report", "off"})), kExitOk);
    EXPECT_FALSE(std::filesystem::exists(copy + "/report.html"));
}

// A pSNR changed by hand still reads as a number: the part's checksum tells.
TEST_F(SweepCommandTest, AChangedDigitIsRefusedByTheCollectionAndRedoneByAResumedSweep) {
    ASSERT_EQ(code_, kExitOk);
    TempFolder folder;
    const std::string copy = folder.File("copy");
    std::filesystem::copy(Folder(), copy, std::filesystem::copy_options::recursive);
    const std::string part = copy + "/parts/job-3.part";
    std::string text = Contents(part);
    std::size_t psnr = text.find("photo64-c.png,64,64,pictora");
    ASSERT_NE(psnr, std::string::npos);
    for (int comma = 0; comma < 13; ++comma) psnr = text.find(',', psnr) + 1;  // the psnr column
    text[psnr] = text[psnr] == '9' ? '1' : static_cast<char>(text[psnr] + 1);
    std::ofstream(part, std::ios::binary | std::ios::trunc) << text;

    std::string messages;
    EXPECT_EQ(Collect(copy, messages), kExitBadFile);
    EXPECT_NE(messages.find("checksum"), std::string::npos) << messages;
    EXPECT_NE(messages.find("job-3.part"), std::string::npos) << messages;

    ::testing::internal::CaptureStderr();
    const int code = RunCommandLine(SmallSweep(copy, {"--jobs", "1"}));
    messages = ::testing::internal::GetCapturedStderr();
    ASSERT_EQ(code, kExitOk) << messages;
    EXPECT_NE(messages.find("1 run now, 5 already done"), std::string::npos) << messages;
    EXPECT_EQ(Contents(copy + "/results.csv"), Contents(Folder() + "/results.csv"));
}

TEST(SweepUsageTest, RefusesTwoImagesOfTheSameFileName) {
    TempFolder folder;
    std::filesystem::copy_file(TestData("photo64-a.png"), folder.File("photo64-a.png"));
    ::testing::internal::CaptureStderr();
    const int code = RunCommandLine({"sweep", TestData("photo64-a.png"), folder.File("photo64-a.png"), "-o",
                                     folder.File("out")});
    const std::string messages = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(code, kExitUsage);
    EXPECT_NE(messages.find("two images are named photo64-a.png"), std::string::npos) << messages;
    EXPECT_FALSE(std::filesystem::exists(folder.File("out")));
}

// Their charts would both go to DIR/photo64-a/, and on a file system that
// ignores case their rows would mix.
TEST(SweepUsageTest, RefusesTwoImagesWhoseNamesDifferOnlyInCase) {
    TempFolder folder;
    std::filesystem::copy_file(TestData("photo64-a.png"), folder.File("PHOTO64-A.png"));
    ::testing::internal::CaptureStderr();
    const int code = RunCommandLine({"sweep", TestData("photo64-a.png"), folder.File("PHOTO64-A.png"), "--codecs",
                                     "none", "-o", folder.File("out")});
    const std::string messages = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(code, kExitUsage);
    EXPECT_NE(messages.find("photo64-a.png and PHOTO64-A.png differ only in case"), std::string::npos) << messages;
    EXPECT_FALSE(std::filesystem::exists(folder.File("out")));
}

// Every image is looked at (its PNG header) before a job starts: a missing
// or unusable one is named at once, no job runs and no folder is left behind;
// neither is one when an image's pixels turn out damaged in its job.
TEST(SweepUsageTest, AnImageThatIsNotAReadableRgbPngStopsTheSweepBeforeAnyJob) {
    TempFolder folder;
    for (const std::string& bad : {folder.File("missing.png"), TestData("refuse/gray4-32.png")}) {
        for (const std::vector<std::string>& mode : {std::vector<std::string>{"--jobs", "2"},
                                                     std::vector<std::string>{"--job", "0"},
                                                     std::vector<std::string>{"--plan"}}) {
            std::vector<std::string> arguments = {"sweep", TestData("photo64-a.png"), bad, "--block", "4", "--steps",
                                                  "1", "--codecs", "none", "-o", folder.File("out")};
            arguments.insert(arguments.end(), mode.begin(), mode.end());
            ::testing::internal::CaptureStderr();
            ::testing::internal::CaptureStdout();
            const int code = RunCommandLine(arguments);
            const std::string planned = ::testing::internal::GetCapturedStdout();
            const std::string messages = ::testing::internal::GetCapturedStderr();
            EXPECT_EQ(code, kExitBadFile) << bad << " " << mode[0];
            EXPECT_NE(messages.find(bad), std::string::npos) << messages;
            EXPECT_TRUE(planned.empty()) << planned;
            EXPECT_FALSE(std::filesystem::exists(folder.File("out"))) << bad << " " << mode[0];
        }
    }
    // Its header is fine, its pixels are not.
    const std::string photo = Contents(TestData("photo64-c.png"));
    std::ofstream(folder.File("cut.png"), std::ios::binary) << photo.substr(0, photo.size() / 2);
    ::testing::internal::CaptureStderr();
    const int code = RunCommandLine({"sweep", folder.File("cut.png"), "--codecs", "none", "-o", folder.File("out")});
    const std::string messages = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(code, kExitBadFile);
    EXPECT_NE(messages.find(folder.File("cut.png")), std::string::npos) << messages;
    EXPECT_FALSE(std::filesystem::exists(folder.File("out")));
}

TEST(SweepUsageTest, OneJobIsOneJob) {
    TempFolder folder;
    const std::vector<std::string> oneJob = {"sweep", TestData("photo64-b.png"), "--steps", "1", "--codecs", "none",
                                             "-o", folder.File("out")};
    ::testing::internal::CaptureStderr();
    int code = RunCommandLine(oneJob);
    std::string messages = ::testing::internal::GetCapturedStderr();
    ASSERT_EQ(code, kExitOk) << messages;
    EXPECT_NE(messages.find("sweep: 1 job (1 run now, 0 already done)"), std::string::npos) << messages;

    std::vector<std::string> outside = oneJob;
    outside.insert(outside.end(), {"--job", "1"});
    ::testing::internal::CaptureStderr();
    code = RunCommandLine(outside);
    messages = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(code, kExitUsage);
    EXPECT_NE(messages.find("--job 1: the sweep has 1 job\n"), std::string::npos) << messages;

    std::filesystem::remove(folder.File("out/parts/job-0.part"));
    std::vector<std::string> collect = oneJob;
    collect.push_back("--collect");
    ::testing::internal::CaptureStderr();
    code = RunCommandLine(collect);
    messages = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(code, kExitBadFile);
    EXPECT_NE(messages.find("1 of 1 job has no part yet"), std::string::npos) << messages;
}

// A point with a lossless stage is the stage's file; the method's settings
// reach the training as train's options do, and lambda varies inside a family.
TEST(SweepLeversTest, AStagesPointIsItsFileAndTheSettingsAreThoseOfTrain) {
    TempFolder folder;
    const std::string image = TestData("photo64-c.png");
    ::testing::internal::CaptureStderr();
    int code = RunCommandLine({"sweep", image, "--block", "4", "--radius", "0.02", "--steps", "1", "--codecs", "jpeg",
                               "--entropy", "none,contextual", "--code-by", "error", "--refine", "1", "--lambda", "0,50",
                               "--deblock", "2", "-o", folder.File("out")});
    ::testing::internal::GetCapturedStderr();
    ASSERT_EQ(code, kExitOk);
    ::testing::internal::CaptureStdout();
    code = RunCommandLine({"train", image, "--block", "4", "--radius", "0.02", "--steps", "1", "--code-by", "error",
                           "--refine", "1", "--lambda", "50", "--deblock", "2", "-o", folder.File("t.mqc"), "-o",
                           folder.File("t.mqz"), "--results", folder.File("t.csv")});
    ::testing::internal::GetCapturedStdout();
    ASSERT_EQ(code, kExitOk);

    const std::vector<std::string> lines = Lines(folder.File("out/results.csv"));
    ASSERT_EQ(lines.size(), 1u + 4 + kJpegRungs);
    const std::vector<std::string> plain = Fields(lines[2]);   // none, lambda 50
    const std::vector<std::string> staged = Fields(lines[4]);  // contextual, lambda 50
    EXPECT_EQ(plain[9] + "," + plain[10] + "," + plain[11] + "," + plain[12] + "," + plain[13], "none,error,1,50,2");
    EXPECT_EQ(staged[9] + "," + staged[12], "contextual,50");
    EXPECT_EQ(plain[16], std::to_string(std::filesystem::file_size(folder.File("t.mqc"))));
    const auto mqzBytes = std::filesystem::file_size(folder.File("t.mqz"));
    EXPECT_EQ(staged[16], std::to_string(mqzBytes));
    EXPECT_EQ(staged[17], FormatC("%.17g", 8.0 * static_cast<double>(mqzBytes) / (64 * 64)));
    const std::vector<std::string> trained = Fields(Lines(folder.File("t.csv"))[1]);
    EXPECT_EQ(plain[18], trained[5]);  // pSNR after deblocking, the same with the stage
    EXPECT_EQ(staged[18], trained[5]);
    EXPECT_NE(Fields(lines[1])[16], plain[16]);  // lambda 50 prunes

    // One family per stage, both lambdas in it: two families against jpeg, two measures each.
    const std::vector<std::string> rates = Lines(folder.File("out/bd-rate.csv"));
    ASSERT_EQ(rates.size(), 1u + 2 * 2);
    EXPECT_EQ(Fields(rates[1])[5] + "," + Fields(rates[3])[5], "none,contextual");
    EXPECT_EQ(Fields(rates[3])[6] + "," + Fields(rates[3])[7] + "," + Fields(rates[3])[8], "error,1,2");
}

TEST(SweepUsageTest, RefusesBadListsAndAJobOutsideTheSweep) {
    TempFolder folder;
    for (const std::vector<std::string>& bad : {
             std::vector<std::string>{"--block", "4,,8"},
             std::vector<std::string>{"--block", "13"},
             std::vector<std::string>{"--color-space", "rgb,cmyk"},
             std::vector<std::string>{"--filter", "4"},
             std::vector<std::string>{"--entropy", "none,zip"},
             std::vector<std::string>{"--code-by", "nearest"},
             std::vector<std::string>{"--refine", "-1"},
             std::vector<std::string>{"--lambda", "0,-1"},
             std::vector<std::string>{"--deblock", "4"},
             std::vector<std::string>{"--codecs", "jpeg,png"},
             std::vector<std::string>{"--steps", "0"},
             std::vector<std::string>{"--plan", "--collect"},
             std::vector<std::string>{"--job", "1"},
         }) {
        std::vector<std::string> arguments = {"sweep", TestData("photo64-a.png"), "--codecs", "none", "-o",
                                              folder.File("out")};
        arguments.insert(arguments.end(), bad.begin(), bad.end());
        ::testing::internal::CaptureStderr();
        const int code = RunCommandLine(arguments);
        ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(code, kExitUsage) << bad[0] << " " << bad[1];
    }
}

}  // namespace
}  // namespace pictora::cli
