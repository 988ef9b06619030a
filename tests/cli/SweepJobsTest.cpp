#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "cli/ShellQuote.h"
#include "study/SweepJobs.h"
#include "cli/SweepPlanCommands.h"
#include "cli/SweepProgress.h"

namespace pictora::cli {
namespace {

TEST(SweepGridTest, CellsVaryTheLastSettingFastestInTheOrderGiven) {
    SweepGrid grid;
    grid.colorSpaces = {ColorSpace::YCbCr420, ColorSpace::Rgb};
    grid.blockSides = {8, 4};
    grid.radii = {0.2, 0.1};
    grid.filters = {LowPassFilter::None, LowPassFilter::Box3};
    const std::vector<SweepCell> cells = grid.Cells();
    ASSERT_EQ(cells.size(), 16u);
    EXPECT_EQ(cells[0].colorSpace, ColorSpace::YCbCr420);
    EXPECT_EQ(cells[0].blockSide, 8u);
    EXPECT_EQ(cells[0].radius, 0.2);
    EXPECT_EQ(cells[0].filter, LowPassFilter::None);
    EXPECT_EQ(cells[1].filter, LowPassFilter::Box3);
    EXPECT_EQ(cells[1].radius, 0.2);
    EXPECT_EQ(cells[2].radius, 0.1);
    EXPECT_EQ(cells[4].blockSide, 4u);
    EXPECT_EQ(cells[8].colorSpace, ColorSpace::Rgb);
    EXPECT_EQ(cells[15].colorSpace, ColorSpace::Rgb);
    EXPECT_EQ(cells[15].blockSide, 4u);
    EXPECT_EQ(cells[15].radius, 0.1);
    EXPECT_EQ(cells[15].filter, LowPassFilter::Box3);
}

SweepOptions TwoImagesTwoCellsTwoCodecs() {
    SweepOptions options;
    options.images = {"/data/b.png", "rel/a.png"};
    options.grid.blockSides = {4, 8};
    options.codecs = {ReferenceCodecKind::Jxl, ReferenceCodecKind::Jpeg};
    options.outputFolder = "/out/sweep";
    options.steps = 3;
    return options;
}

TEST(SweepJobsTest, JobsGoByImageThenCellsThenCodecs) {
    SweepJobList list;
    ASSERT_TRUE(ListSweepJobs(TwoImagesTwoCellsTwoCodecs(), list));
    ASSERT_EQ(list.jobs.size(), 8u);
    EXPECT_EQ(list.imageNames, (std::vector<std::string>{"b.png", "a.png"}));
    EXPECT_EQ(list.imagePaths[0], "/data/b.png");
    EXPECT_EQ(list.imagePaths[1].front(), '/');
    for (std::size_t job = 0; job < 8; ++job) EXPECT_EQ(list.jobs[job].image, job / 4);
    EXPECT_EQ(list.jobs[0].kind, SweepJobKind::Training);
    EXPECT_EQ(list.jobs[0].cell.blockSide, 4u);
    EXPECT_EQ(list.jobs[1].cell.blockSide, 8u);
    EXPECT_EQ(list.jobs[2].kind, SweepJobKind::Ladder);
    EXPECT_EQ(list.jobs[2].codec, ReferenceCodecKind::Jxl);
    EXPECT_EQ(list.jobs[3].codec, ReferenceCodecKind::Jpeg);
    EXPECT_EQ(JobDescription(list, 1),
              "image=/data/b.png codec=pictora color_space=rgb block=8 radius=0.1 alfa=0.1 filter=none steps=3");
    EXPECT_EQ(JobDescription(list, 7), "image=" + list.imagePaths[1] + " codec=jpeg");
    EXPECT_EQ(PartPath(list, 7), "/out/sweep/parts/job-7.part");
}

TEST(SweepJobsTest, RefusesTwoImagesOfTheSameNameAndNamesThatBreakCsv) {
    SweepOptions options;
    options.images = {"/one/photo.png", "/two/photo.png"};
    SweepJobList list;
    const Status refused = ListSweepJobs(options, list);
    ASSERT_FALSE(refused);
    EXPECT_NE(refused.message().find("photo.png"), std::string::npos);
    options.images = {"/one/a,b.png"};
    EXPECT_FALSE(ListSweepJobs(options, list));
}

// What a shell makes of `command`: its words, one per line.
std::string ShellWords(const std::string& command) {
    const std::string script = "printf '%s\\n' " + command;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(("bash -c " + ShellQuote(script)).c_str(), "r"), ::pclose);
    std::string words;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe.get()) != nullptr) words += buffer;
    return words;
}

TEST(ShellQuoteTest, TheShellReadsEveryQuotedWordBackAsItWas) {
    for (const std::string& word : {std::string("plain/path-1.png"), std::string("it's here"), std::string("$HOME `x` \"q\""),
                                    std::string("a\\b;c&d|e*"), std::string(""), std::string("''")})
        EXPECT_EQ(ShellWords(ShellQuote(word)), word + "\n") << word;
}

TEST(SweepPlanCommandsTest, EveryCommandCarriesTheWholeSweepAndItsJobNumber) {
    SweepOptions options = TwoImagesTwoCellsTwoCodecs();
    options.images[0] = "/data/it's.png";
    options.grid.radii = {0.1, 1.0 / 3.0};
    SweepJobList list;
    ASSERT_TRUE(ListSweepJobs(options, list));
    const std::vector<std::string> commands = PlanCommands("/usr/bin/pictora cli", options, list);
    ASSERT_EQ(commands.size(), list.jobs.size());
    EXPECT_EQ(ShellWords(commands[5]), "/usr/bin/pictora cli\nsweep\n/data/it's.png\n" + list.imagePaths[1] +
                                           "\n--color-space\nrgb\n--block\n4,8\n--radius\n0.1,0.3333333333333333\n"
                                           "--alfa\n0.1\n--filter\nnone\n--steps\n3\n--codecs\njxl,jpeg\n-o\n"
                                           "/out/sweep\n--job\n5\n");
}

TEST(SweepProgressTest, ShowsJobsElapsedAndTimeLeft) {
    EXPECT_EQ(FormatSweepProgress(0, 4, 3.5), "[..............................] 0/4 jobs, 3 s");
    EXPECT_EQ(FormatSweepProgress(1, 4, 61.0), "[#######.......................] 1/4 jobs, 1 min 01 s, about 3 min 03 s left");
    EXPECT_EQ(FormatSweepProgress(4, 4, 7300.0), "[##############################] 4/4 jobs, 2 h 01 min");
}

}  // namespace
}  // namespace pictora::cli
