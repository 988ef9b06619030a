#include <gtest/gtest.h>

#include <fstream>

#include "common/TempFolder.h"
#include "study/SweepPartFile.h"
#include "study/SweepRow.h"
#include "support/FileIO.h"

namespace pictora {
namespace {

using pictora::testing::TempFolder;

SweepRow PictoraPoint() {
    SweepRow point;
    point.image = "a.png";
    point.width = 64;
    point.height = 48;
    point.origin = TrainedOrigin{SweepCell{ColorSpace::YCbCr420, 4, 0.1, 0.25, LowPassFilter::Box5,
                                           LosslessMode::Contextual, CodeBy::Error, 5, 0.3, DeblockStrength::Medium},
                                 3};
    point.figures.bytes = 1234;
    point.figures.bpp = 8.0 * 1234 / (64 * 48);
    point.figures.quality.psnrMean = 31.5;
    point.figures.similarity.ssim = 0.9;
    return point;
}

SweepRow JxlPoint() {
    SweepRow point;
    point.image = "a.png";
    point.width = 64;
    point.height = 48;
    point.origin = LadderOrigin{ReferenceCodecKind::Jxl, 0.7};
    point.figures.bytes = 99;
    point.figures.bpp = 0.2578125;
    point.figures.quality.psnrMean = 40.5;
    point.figures.similarity.ssim = 0.99;
    point.figures.similarity.msSsim = 0.995;
    return point;
}

TEST(SweepRowTest, LinesHoldEveryColumnAndEmptyFieldsWhereAPointHasNoValue) {
    EXPECT_EQ(SweepResultsHeader(),
              "image,width,height,codec,color_space,block,radius,alfa,filter,entropy,code_by,refine,lambda,deblock,step,"
              "setting,bytes,bpp,psnr,ssim,msssim,butteraugli,butteraugli_3norm");
    EXPECT_EQ(FormatSweepLine(PictoraPoint()),
              "a.png,64,48,pictora,ycbcr420,4,0.10000000000000001,0.25,5,contextual,error,5,0.29999999999999999,2,3,,"
              "1234,3.2135416666666665,31.5,0.90000000000000002,,,");
    SweepRow jxl = JxlPoint();
    jxl.figures.butteraugli = ButteraugliDistance{2.5, 0.75};
    EXPECT_EQ(FormatSweepLine(jxl), "a.png,64,48,jxl,,,,,,,,,,,,0.69999999999999996,99,0.2578125,40.5,"
                                    "0.98999999999999999,0.995,2.5,0.75");
}

TEST(SweepRowTest, LinesReadBackToTheSameLine) {
    SweepRow measured = JxlPoint();
    measured.figures.butteraugli = ButteraugliDistance{3.25, 1.125};
    for (const SweepRow& point : {PictoraPoint(), JxlPoint(), measured}) {
        SweepRow read;
        ASSERT_TRUE(ParseSweepLine(FormatSweepLine(point), read));
        EXPECT_EQ(FormatSweepLine(read), FormatSweepLine(point));
        EXPECT_EQ(read.Trained() != nullptr, point.Trained() != nullptr);
    }
}

TEST(SweepRowTest, RefusesLinesThatAreNotPoints) {
    const std::string good = FormatSweepLine(PictoraPoint());
    SweepRow read;
    for (const std::string& bad : std::vector<std::string>{
             "",
             good + ",",                                                          // a twenty-fourth field
             good.substr(0, good.rfind(',')),                                     // twenty-two fields
             "a.png,64,48,pictora,cmyk,4,0.1,0.25,5,none,similarity,0,0,0,3,,1,1,1,,,,",  // unknown colour space
             "a.png,64,48,pictora,rgb,4,0.1,0.25,5,none,similarity,0,0,0,3,75,1,1,1,,,,", // a Pictora point with a knob
             "a.png,64,48,jpeg,,,,,,,,,,,,,1,1,1,,,,",                              // a reference point without one
             "a.png,64,48,jpeg,rgb,,,,,,,,,,,75,1,1,1,,,,",                         // a reference point with a setting
             "a.png,64,48,jpeg,,,,,,,,,,,,75,-1,1,1,,,,",                           // negative bytes
             "a.png,64,48,jpeg,,,,,,,,,,,,75,1,1,1,0.9x,,,",                        // not a number
             "a.png,64,48,png,,,,,,,,,,,,75,1,1,1,,,,",                             // no such codec
             "a.png,64,48,pictora,rgb,13,0.1,0.25,5,none,similarity,0,0,0,3,,1,1,1,,,,",  // a block side out of range
             "a.png,64,48,pictora,rgb,4,0.1,0.25,5,zip,similarity,0,0,0,3,,1,1,1,,,,",    // no such lossless stage
             "a.png,64,48,pictora,rgb,4,0.1,0.25,5,none,nearest,0,0,0,3,,1,1,1,,,,",      // no such coding
             "a.png,64,48,pictora,rgb,4,0.1,0.25,5,none,error,-1,0,0,3,,1,1,1,,,,",       // negative iterations
             "a.png,64,48,pictora,rgb,4,0.1,0.25,5,none,error,0,-2,0,3,,1,1,1,,,,",       // negative lambda
             "a.png,64,48,pictora,rgb,4,0.1,0.25,5,none,error,0,0,4,3,,1,1,1,,,,",        // no such strength
             "a.png,64,48,jpeg,,,,,,,,,,,,75,1,1,1,,,2.5,",                       // one of Butteraugli's two distances
         })
        EXPECT_FALSE(ParseSweepLine(bad, read)) << bad;
}

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Overwrite(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

TEST(SweepPartFileTest, APartReadsBackAsItsPoints) {
    TempFolder folder;
    const std::string path = folder.File("job-0.part");
    ASSERT_TRUE(WritePart(path, "image=/x/a.png codec=jxl", {PictoraPoint(), JxlPoint()}));
    const std::string body = "pictora-sweep-part 2\njob image=/x/a.png codec=jxl\nrows 2\n" + SweepResultsHeader() +
                             "\n" + FormatSweepLine(PictoraPoint()) + "\n" + FormatSweepLine(JxlPoint()) + "\n";
    const std::string text = Contents(path);
    ASSERT_EQ(text.substr(0, body.size()), body);
    // The completeness mark ends with the checksum of everything before it.
    const std::string mark = text.substr(body.size());
    ASSERT_EQ(mark.size(), std::string("end 2 01234567\n").size()) << mark;
    EXPECT_EQ(mark.substr(0, 6), "end 2 ");
    EXPECT_EQ(mark.find_first_not_of("0123456789abcdef", 6), mark.size() - 1) << mark;
    std::vector<SweepRow> points;
    ASSERT_TRUE(ReadPart(path, "image=/x/a.png codec=jxl", points));
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(FormatSweepLine(points[1]), FormatSweepLine(JxlPoint()));
}

// A digit changed by hand (a pSNR from 24.12 to 29.12) still reads as a row:
// the checksum tells.
TEST(SweepPartFileTest, RefusesAPartWhoseContentDoesNotMatchItsChecksum) {
    TempFolder folder;
    const std::string path = folder.File("job-0.part");
    const std::string description = "image=/x/a.png codec=jxl";
    const std::string good = FormatPart(description, {PictoraPoint(), JxlPoint()});
    const std::size_t rows = good.find(FormatSweepLine(PictoraPoint()));
    const std::size_t mark = good.rfind("end ");
    std::vector<SweepRow> points;
    std::size_t changed = 0;
    for (std::size_t at = rows; at < mark; ++at) {
        if (good[at] < '0' || good[at] > '9') continue;
        std::string damaged = good;
        damaged[at] = good[at] == '9' ? '1' : static_cast<char>(good[at] + 1);
        Overwrite(path, damaged);
        const Status read = ReadPart(path, description, points);
        ASSERT_FALSE(read) << "digit " << at << ": " << damaged;
        ++changed;
    }
    EXPECT_GT(changed, 40u);
    std::string damaged = good;
    damaged[damaged.size() - 2] = damaged[damaged.size() - 2] == '0' ? '1' : '0';  // the checksum itself
    Overwrite(path, damaged);
    const Status read = ReadPart(path, description, points);
    ASSERT_FALSE(read);
    EXPECT_NE(read.message().find("checksum"), std::string::npos) << read.message();
    EXPECT_NE(read.message().find(path), std::string::npos) << read.message();
}

TEST(SweepPartFileTest, RefusesDamagedPartsAndPartsOfOtherJobs) {
    TempFolder folder;
    const std::string path = folder.File("job-0.part");
    const std::string description = "image=/x/a.png codec=jxl";
    const std::string good = FormatPart(description, {PictoraPoint(), JxlPoint()});
    const std::string lastRow = FormatSweepLine(JxlPoint()) + "\n";
    std::vector<SweepRow> points;
    ASSERT_TRUE(WritePart(path, description, {}));
    EXPECT_TRUE(ReadPart(path, description, points));
    EXPECT_TRUE(points.empty());

    struct Damage {
        std::string text;
        std::string why;
    };
    const std::string cut = good.substr(0, good.rfind("end 2 "));
    for (const Damage& damage : {
             Damage{cut, "completeness mark"},
             Damage{good.substr(0, good.size() - 1), "completeness mark"},
             Damage{good + "x", "after the completeness mark"},
             Damage{"pictora-sweep-part 1" + good.substr(20), "signature"},  // the format before checksums
             Damage{FormatPart("image=/x/a.png codec=avif", {JxlPoint()}), "another job"},
             Damage{cut.substr(0, cut.size() - lastRow.size()) + good.substr(cut.size()), "row 2"},
             Damage{cut + "end 2\n", "completeness mark"},  // no checksum
             Damage{good.substr(0, good.find("rows")) + "rows 3" + good.substr(good.find("rows") + 6), "row 3"},
             Damage{good.substr(0, good.find(SweepResultsHeader()) + SweepResultsHeader().size() + 1), "cut short"},
         }) {
        Overwrite(path, damage.text);
        const Status read = ReadPart(path, description, points);
        ASSERT_FALSE(read) << damage.text;
        EXPECT_NE(read.message().find(damage.why), std::string::npos) << read.message();
        EXPECT_NE(read.message().find(path), std::string::npos) << read.message();
    }
    EXPECT_FALSE(ReadPart(folder.File("none.part"), description, points));
}

}  // namespace
}  // namespace pictora
