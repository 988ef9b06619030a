#include <gtest/gtest.h>

#include "study/SweepJobs.h"

namespace pictora {
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

TEST(SweepGridTest, EachSettingNamesItsOptionSetsItsJobAndSaysWhetherAFamilyShares) {
    const SweepCell cell{ColorSpace::YCbCr420, 4, 0.05, 0.25, LowPassFilter::Box3};
    EXPECT_EQ(OptionName("color_space"), "--color-space");
    EXPECT_EQ(FamilyLegend(cell), "ycbcr420 4×4 ALFA 0.25 filter 3");
    EXPECT_EQ(FamilyLegend(SweepCell{}), "rgb 8×8 ALFA 0.1");
    SweepCell otherRadius = cell;
    otherRadius.radius = 0.2;
    EXPECT_TRUE(SameFamily(cell, otherRadius));
    SweepCell otherAlfa = cell;
    otherAlfa.alfa = 0.1;
    EXPECT_FALSE(SameFamily(cell, otherAlfa));

    const TrainingJob job = TrainingJobOf(cell);
    EXPECT_EQ(job.colorSpace, ColorSpace::YCbCr420);
    EXPECT_EQ(job.filter, LowPassFilter::Box3);
    for (const ChannelJob& channel : job.channels) {
        EXPECT_EQ(channel.dimension, 16u);
        EXPECT_EQ(channel.radius, 0.05);
        EXPECT_EQ(channel.alfa, 0.25);
        EXPECT_EQ(channel.passes, 1u);
    }
}

// The lossless stage and the method's settings other than lambda make
// families of their own; lambda, like the radius, varies inside one.
TEST(SweepGridTest, TheMethodsLeversSplitFamiliesExceptLambdaAndReachTheJob) {
    SweepCell levers;
    levers.entropy = LosslessMode::Contextual;
    levers.codeBy = CodeBy::Error;
    levers.refine = 3;
    levers.lambda = 40.0;
    levers.deblock = DeblockStrength::Strong;
    EXPECT_EQ(FamilyLegend(levers), "rgb 8×8 ALFA 0.1 contextual by error refine 3 deblock 3");
    SweepCell otherLambda = levers;
    otherLambda.lambda = 0.0;
    EXPECT_TRUE(SameFamily(levers, otherLambda));
    for (auto change : {+[](SweepCell& c) { c.entropy = LosslessMode::Huffman; },
                        +[](SweepCell& c) { c.codeBy = CodeBy::Similarity; }, +[](SweepCell& c) { c.refine = 0; },
                        +[](SweepCell& c) { c.deblock = DeblockStrength::Off; }}) {
        SweepCell other = levers;
        change(other);
        EXPECT_FALSE(SameFamily(levers, other));
    }
    const TrainingJob job = TrainingJobOf(levers);
    EXPECT_EQ(job.method.coding.codeBy, CodeBy::Error);
    EXPECT_EQ(job.method.coding.refine, 3u);
    EXPECT_EQ(job.method.coding.lambda, 40.0);
    EXPECT_EQ(job.method.deblock, DeblockStrength::Strong);
    EXPECT_TRUE(TrainingJobOf(SweepCell{}).method.IsDefault());

    SweepGrid grid;
    grid.entropies = {LosslessMode::None, LosslessMode::Contextual};
    grid.lambdas = {0.0, 10.0};
    grid.deblocks = {DeblockStrength::Off, DeblockStrength::Light};
    const std::vector<SweepCell> cells = grid.Cells();
    ASSERT_EQ(cells.size(), 8u);
    EXPECT_EQ(cells[1].deblock, DeblockStrength::Light);
    EXPECT_EQ(cells[2].lambda, 10.0);
    EXPECT_EQ(cells[4].entropy, LosslessMode::Contextual);
}

TEST(SweepGridTest, ValuesReadBackFromTheirTextsAndOthersAreRefused) {
    ColorSpace space = ColorSpace::Rgb;
    EXPECT_TRUE(ReadColorSpace(ValueText(ColorSpace::YCbCr444, ValueStyle::Exact), space));
    EXPECT_EQ(space, ColorSpace::YCbCr444);
    EXPECT_FALSE(ReadColorSpace("cmyk", space));
    std::uint32_t side = 0;
    EXPECT_TRUE(ReadBlockSide("12", side));
    EXPECT_EQ(side, 12u);
    for (const char* bad : {"13", "1", "+4", "-4", "4x", ""}) EXPECT_FALSE(ReadBlockSide(bad, side)) << bad;
    double real = 0.0;
    EXPECT_TRUE(ReadFiniteReal(ValueText(0.1, ValueStyle::Exact), real));
    EXPECT_EQ(real, 0.1);
    EXPECT_EQ(ValueText(0.1, ValueStyle::Exact), "0.10000000000000001");
    EXPECT_EQ(ValueText(0.1, ValueStyle::Shortest), "0.1");
    EXPECT_FALSE(ReadFiniteReal("inf", real));
    LowPassFilter filter = LowPassFilter::None;
    EXPECT_TRUE(ReadFilter("9", filter));
    EXPECT_EQ(filter, LowPassFilter::Box9);
    EXPECT_FALSE(ReadFilter("4", filter));
    LosslessMode stage = LosslessMode::None;
    for (LosslessMode each :
         {LosslessMode::None, LosslessMode::Huffman, LosslessMode::Arithmetic, LosslessMode::Contextual}) {
        EXPECT_TRUE(ReadEntropy(ValueText(each, ValueStyle::Exact), stage));
        EXPECT_EQ(stage, each);
    }
    EXPECT_FALSE(ReadEntropy("xz", stage));
    EXPECT_EQ(ValueText(DeblockStrength::Medium, ValueStyle::Exact), "2");
    EXPECT_EQ(ValueText(CodeBy::Error, ValueStyle::Exact), "error");
}

SweepDefinition TwoImagesTwoCellsTwoCodecs() {
    SweepDefinition sweep;
    sweep.images = {"/data/b.png", "rel/a.png"};
    sweep.grid.blockSides = {4, 8};
    sweep.codecs = {ReferenceCodecKind::Jxl, ReferenceCodecKind::Jpeg};
    sweep.outputFolder = "/out/sweep";
    sweep.steps = 3;
    return sweep;
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
              "image=/data/b.png codec=pictora color_space=rgb block=8 radius=0.1 alfa=0.1 filter=none entropy=none "
              "code_by=similarity refine=0 lambda=0 deblock=0 steps=3");
    EXPECT_EQ(JobDescription(list, 7), "image=" + list.imagePaths[1] + " codec=jpeg");
    EXPECT_EQ(PartPath(list, 7), "/out/sweep/parts/job-7.part");
}

TEST(SweepJobsTest, RefusesTwoImagesOfTheSameNameAndNamesThatBreakCsv) {
    SweepDefinition sweep;
    sweep.images = {"/one/photo.png", "/two/photo.png"};
    SweepJobList list;
    const Status refused = ListSweepJobs(sweep, list);
    ASSERT_FALSE(refused);
    EXPECT_NE(refused.message().find("photo.png"), std::string::npos);
    sweep.images = {"/one/a,b.png"};
    EXPECT_FALSE(ListSweepJobs(sweep, list));
}

// On a file system that ignores case the two would be one file; everywhere
// their charts would share DIR/STEM.
TEST(SweepJobsTest, RefusesNamesThatDifferOnlyInCaseOrShareAChartFolder) {
    SweepDefinition sweep;
    SweepJobList list;
    sweep.images = {"/d1/img.png", "/d3/img.PNG"};
    Status refused = ListSweepJobs(sweep, list);
    ASSERT_FALSE(refused);
    EXPECT_NE(refused.message().find("img.png and img.PNG differ only in case"), std::string::npos)
        << refused.message();
    sweep.images = {"/d1/Img.png", "/d1/img"};
    refused = ListSweepJobs(sweep, list);
    ASSERT_FALSE(refused);
    EXPECT_NE(refused.message().find("DIR/Img"), std::string::npos) << refused.message();
    sweep.images = {"/d1/img.png", "/d1/img2.png", "/d1/img.png.png"};
    EXPECT_TRUE(ListSweepJobs(sweep, list));
}

TEST(SweepJobsTest, TheArgumentsDescribeTheSweepAgain) {
    SweepDefinition sweep = TwoImagesTwoCellsTwoCodecs();
    sweep.images[0] = "/data/it's.png";
    sweep.grid.radii = {0.1, 1.0 / 3.0};
    SweepJobList list;
    ASSERT_TRUE(ListSweepJobs(sweep, list));
    EXPECT_EQ(SweepArguments(list),
              (std::vector<std::string>{"/data/it's.png", list.imagePaths[1], "--color-space", "rgb", "--block", "4,8",
                                        "--radius", "0.1,0.3333333333333333", "--alfa", "0.1", "--filter", "none",
                                        "--entropy", "none", "--code-by", "similarity", "--refine", "0", "--lambda",
                                        "0", "--deblock", "0", "--steps", "3", "--codecs", "jxl,jpeg", "-o", "/out/sweep"}));
    sweep.codecs.clear();
    ASSERT_TRUE(ListSweepJobs(sweep, list));
    const std::vector<std::string> arguments = SweepArguments(list);
    EXPECT_EQ(arguments[arguments.size() - 3], "none");
}

}  // namespace
}  // namespace pictora
