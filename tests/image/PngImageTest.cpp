#include <gtest/gtest.h>

#include <png.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "common/TempFolder.h"
#include "image/LibpngReference.h"
#include "image/PngFiles.h"
#include "image/PngImage.h"
#include "image/PngReader.h"
#include "support/FileIO.h"

namespace pictora {
namespace {

using testing::TempFolder;
using testing::TestData;

// Writes PNG files in layouts the program itself never writes (interlaced,
// 16-bit) with libpng. `rows` holds the encoded bytes of each row.
bool WriteRawPng(const std::string& path, std::uint32_t width, int bitDepth, int interlace,
                 const std::vector<std::vector<std::uint8_t>>& rows) {
    const std::vector<std::uint8_t> file = testing::LibpngEncodeRgb(width, rows, bitDepth, interlace);
    return !file.empty() && WriteFileAtomically(path, file).ok();
}

std::vector<std::vector<std::uint8_t>> InterleavedRows(const RgbImage& image) {
    std::vector<std::vector<std::uint8_t>> rows;
    for (std::int32_t i = 0; i < image.height; ++i) {
        std::vector<std::uint8_t>& row = rows.emplace_back();
        for (std::int32_t j = 0; j < image.width; ++j) {
            row.insert(row.end(), {image.red[i][j], image.green[i][j], image.blue[i][j]});
        }
    }
    return rows;
}

// The header of the PNG file at `path` (a default one if it cannot be read).
PngHeader HeaderOf(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    PngHeader header;
    if (ReadWholeFile(path, bytes)) (void)PngReader(bytes).ReadHeader(header);
    return header;
}

void ExpectSamePlanes(const RgbImage& a, const RgbImage& b) {
    EXPECT_EQ(a.height, b.height);
    EXPECT_EQ(a.width, b.width);
    EXPECT_TRUE(a.red == b.red && a.green == b.green && a.blue == b.blue);
}

class PngImageTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(ReadPngFile(TestData("photo64-a.png"), photo_)); }

    RgbImage photo_;
    TempFolder folder_;
};

TEST_F(PngImageTest, SavedRgbLoadsBackToTheSamePlanes) {
    const std::string path = folder_.File("copy.png");
    ASSERT_TRUE(WritePngFile(photo_, PngPlanes::Rgb, path));
    RgbImage copy;
    ASSERT_TRUE(ReadPngFile(path, copy));
    ExpectSamePlanes(copy, photo_);
    EXPECT_EQ(HeaderOf(path).colourType, PngColourType::Rgb);
    EXPECT_EQ(HeaderOf(path).bitDepth, 8);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_.File("")),
                            std::filesystem::directory_iterator()),
              1);  // no temporary file left beside it
}

TEST_F(PngImageTest, PlaneSelectorWritesGreyscale) {
    const std::string path = folder_.File("green.png");
    ASSERT_TRUE(WritePngFile(photo_, PngPlanes::Green, path));
    EXPECT_EQ(HeaderOf(path).colourType, PngColourType::Grey);

    png_image grey{};
    grey.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&grey, path.c_str()));
    EXPECT_EQ(grey.format, static_cast<png_uint_32>(PNG_FORMAT_GRAY));
    ASSERT_EQ(grey.width, 64u);
    std::vector<std::uint8_t> samples(PNG_IMAGE_SIZE(grey));
    ASSERT_TRUE(png_image_finish_read(&grey, nullptr, samples.data(), 0, nullptr));
    EXPECT_EQ(samples[0], photo_.green[0][0]);
    EXPECT_EQ(samples[64 * 10 + 37], photo_.green[10][37]);
    EXPECT_EQ(samples.back(), photo_.green[63][63]);
}

TEST_F(PngImageTest, AnImageWithoutPlanesOfItsSizeWritesNothing) {
    const std::string path = folder_.File("kept.png");
    const std::vector<std::uint8_t> kept = {1, 2, 3};
    ASSERT_TRUE(WriteFileAtomically(path, kept));
    RgbImage unfilled;
    unfilled.height = 4;
    unfilled.width = 4;
    for (const RgbImage& image : {RgbImage(), unfilled}) {
        const Status refused = WritePngFile(image, PngPlanes::Rgb, path);
        EXPECT_EQ(refused.kind(), ErrorKind::UnsupportedImage);
        EXPECT_EQ(refused.message(), path + ": the image has no planes of its size to write");
    }
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(path, bytes));
    EXPECT_EQ(bytes, kept);
}

TEST_F(PngImageTest, AnUnwritablePathIsAFileAccessFailureNamingIt) {
    const std::string path = folder_.File("missing-folder/out.png");
    const Status refused = WritePngFile(photo_, PngPlanes::Rgb, path);
    EXPECT_EQ(refused.kind(), ErrorKind::FileAccess);
    EXPECT_NE(refused.message().find(path), std::string::npos);
    EXPECT_EQ(refused.subject(), path);
}

TEST_F(PngImageTest, InterlacedFileLoadsLikeItsPlainTwin) {
    const std::string path = folder_.File("interlaced.png");
    auto rows = InterleavedRows(photo_);
    ASSERT_TRUE(WriteRawPng(path, 64, 8, PNG_INTERLACE_ADAM7, rows));
    RgbImage twin;
    ASSERT_TRUE(ReadPngFile(path, twin));
    ExpectSamePlanes(twin, photo_);
}

// Decoding in place gives the planes Decode gives, tells the start before
// any row and the rows in order up to all of them, and closes.
TEST_F(PngImageTest, DecodingInPlaceTellsItsRowsAndMatchesDecode) {
    const std::string interlaced = folder_.File("interlaced.png");
    auto rows = InterleavedRows(photo_);
    ASSERT_TRUE(WriteRawPng(interlaced, 64, 8, PNG_INTERLACE_ADAM7, rows));
    for (const std::string& path : {TestData("photo64-b.png"), interlaced}) {
        std::vector<std::uint8_t> file;
        ASSERT_TRUE(ReadWholeFile(path, file));
        RgbImage decoded;
        ASSERT_TRUE(DecodePngImage(file, decoded));
        RgbImage inPlace;
        RowArrival arrival;
        ASSERT_TRUE(DecodePngInPlace(file, inPlace, arrival));
        EXPECT_TRUE(arrival.WaitForStart());
        EXPECT_TRUE(arrival.WaitFor(64));
        EXPECT_FALSE(arrival.WaitFor(65));  // closed: no more will come
        ExpectSamePlanes(inPlace, decoded);
    }
}

// A file cut short is refused before its planes exist; one whose rows turn
// bad midway tells the rows before, then fails and closes.
TEST_F(PngImageTest, DecodingInPlaceStopsAtDamage) {
    std::vector<std::uint8_t> file;
    ASSERT_TRUE(ReadWholeFile(TestData("photo64-b.png"), file));
    file.resize(file.size() / 2);
    RgbImage cut;
    RowArrival never;
    EXPECT_EQ(DecodePngInPlace(file, cut, never).kind(), ErrorKind::DamagedFile);
    EXPECT_FALSE(never.WaitForStart());

    testing::Bytes raw = testing::UnfilteredRows(64, 64);
    raw[40 * (1 + 3 * 64)] = 9;  // the filter byte of row 40
    RgbImage bad;
    RowArrival early;
    const Status refused = DecodePngInPlace(testing::RgbPng(64, 64, raw), bad, early);
    EXPECT_EQ(refused.kind(), ErrorKind::DamagedFile);
    EXPECT_NE(refused.message().find("filter type 9"), std::string::npos) << refused.message();
    EXPECT_TRUE(early.WaitFor(32));
    EXPECT_FALSE(early.WaitFor(41));
}

TEST_F(PngImageTest, SixteenBitSamplesKeepTheirHighByte) {
    const std::string path = folder_.File("deep.png");
    std::vector<std::vector<std::uint8_t>> rows = {{0xAB, 0x12, 0x00, 0xFF, 0x01, 0x80, 0xFF, 0xFF, 0x7F, 0xFF, 0x00, 0x01}};
    ASSERT_TRUE(WriteRawPng(path, 2, 16, PNG_INTERLACE_NONE, rows));
    RgbImage deep;
    ASSERT_TRUE(ReadPngFile(path, deep));
    EXPECT_EQ(deep.red[0][0], 0xAB);
    EXPECT_EQ(deep.green[0][0], 0x00);
    EXPECT_EQ(deep.blue[0][0], 0x01);
    EXPECT_EQ(deep.red[0][1], 0xFF);
    EXPECT_EQ(deep.green[0][1], 0x7F);
    EXPECT_EQ(deep.blue[0][1], 0x00);

    RgbImage suite;
    ASSERT_TRUE(ReadPngFile(TestData("refuse/rgb16-64.png"), suite));
    EXPECT_EQ(suite.height, 64);
    EXPECT_EQ(suite.width, 64);
    EXPECT_FALSE(suite.red == suite.green || suite.green == suite.blue);  // a colour gradient, not flat
}

TEST_F(PngImageTest, RefusesOtherColourTypesAndKeepsTheImage) {
    for (const char* name : {"refuse/palette-64.png", "refuse/gray4-32.png"}) {
        RgbImage image = photo_;
        const Status refused = ReadPngFile(TestData(name), image);
        EXPECT_EQ(refused.kind(), ErrorKind::UnsupportedImage) << name;
        EXPECT_NE(refused.message().find("not an RGB PNG (colour type "), std::string::npos) << refused.message();
        EXPECT_EQ(refused.subject(), TestData(name));
        ExpectSamePlanes(image, photo_);
    }
}

TEST_F(PngImageTest, DamagedFilesAreRefusedWithAMessage) {
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(TestData("photo64-a.png"), bytes));
    std::vector<std::uint8_t> truncated(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(bytes.size() / 2));
    std::vector<std::uint8_t> flipped = bytes;
    const std::string chunk = "IDAT";
    const auto idat = std::search(flipped.begin(), flipped.end(), chunk.begin(), chunk.end());
    ASSERT_NE(idat, flipped.end());
    for (auto byte = idat + 40; byte != idat + 80; ++byte) *byte ^= 0x5A;
    const std::vector<std::uint8_t> text = {'n', 'o', 't', ' ', 'a', ' ', 'P', 'N', 'G', '\n'};

    for (const auto& damaged : {truncated, flipped, text}) {
        const std::string path = folder_.File("damaged.png");
        ASSERT_TRUE(WriteFileAtomically(path, damaged));
        RgbImage image = photo_;
        const Status refused = ReadPngFile(path, image);
        EXPECT_EQ(refused.kind(), ErrorKind::DamagedFile);
        EXPECT_EQ(refused.message().rfind(path + ": damaged PNG: ", 0), 0u) << refused.message();
        EXPECT_GT(refused.message().size(), path.size() + 15);
        ExpectSamePlanes(image, photo_);
    }
}

// A check walks the chunks without inflating the pixels: what the header and
// the chunks tell is refused as Load refuses it (a cut file among them).
TEST_F(PngImageTest, CheckingAFileTakesWhatItsHeaderAllowsAndLeavesTheImage) {
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(TestData("photo64-a.png"), bytes));
    const std::string truncated = folder_.File("truncated.png");
    ASSERT_TRUE(WriteFileAtomically(truncated, std::span(bytes.data(), bytes.size() / 2)));
    const std::string text = folder_.File("text.png");
    ASSERT_TRUE(WriteFileAtomically(text, std::string_view("not a PNG\n")));
    struct Case {
        std::string path;
        std::optional<ErrorKind> refusal;
    };
    for (const Case& c : {Case{TestData("photo64-b.png"), std::nullopt}, Case{truncated, ErrorKind::DamagedFile},
                          Case{TestData("refuse/gray4-32.png"), ErrorKind::UnsupportedImage},
                          Case{TestData("refuse/palette-64.png"), ErrorKind::UnsupportedImage},
                          Case{text, ErrorKind::DamagedFile}, Case{folder_.File("missing.png"), ErrorKind::FileAccess}}) {
        const Status checked = CheckPngFile(c.path);
        EXPECT_EQ(checked.ok(), !c.refusal) << c.path;
        if (!c.refusal) continue;
        EXPECT_EQ(checked.kind(), *c.refusal) << c.path;
        EXPECT_NE(checked.message().find(c.path), std::string::npos) << checked.message();
        EXPECT_EQ(checked.subject(), c.path);
    }
}

TEST_F(PngImageTest, RefusesSidesBeyondTheLimit) {
    const std::string path = folder_.File("wide.png");
    std::vector<std::vector<std::uint8_t>> rows(1, std::vector<std::uint8_t>(3 * 65536));
    ASSERT_TRUE(WriteRawPng(path, 65536, 8, PNG_INTERLACE_NONE, rows));
    RgbImage image;
    EXPECT_EQ(ReadPngFile(path, image).kind(), ErrorKind::UnsupportedImage);
    EXPECT_EQ(image.height, 0);
}

TEST_F(PngImageTest, RefusesMorePixelsThanThePipelineCanHoldBeforeReadingThem) {
    // A one-row image whose header claims 20000 x 20000 pixels.
    const std::string path = folder_.File("huge.png");
    const std::vector<std::uint8_t> bytes =
        testing::PngOf({testing::Chunk("IHDR", testing::HeaderData(20000, 20000)),
                        testing::Chunk("IDAT", testing::Deflated(testing::UnfilteredRows(20000, 1))),
                        testing::Chunk("IEND", {})});
    ASSERT_TRUE(WriteFileAtomically(path, bytes));
    RgbImage image;
    const Status refused = ReadPngFile(path, image);
    EXPECT_EQ(refused.kind(), ErrorKind::UnsupportedImage);
    EXPECT_NE(refused.message().find("in all"), std::string::npos) << refused.message();
    EXPECT_EQ(CheckPngFile(path).kind(), ErrorKind::UnsupportedImage);
}

TEST_F(PngImageTest, ResizeKeepsSamplesOnlyAtTheSameSize) {
    photo_.Resize(64, 64);
    EXPECT_NE(photo_.green, Plane(64, 64));
    photo_.Resize(3, 5);
    EXPECT_EQ(photo_.height, 3);
    EXPECT_EQ(photo_.width, 5);
    EXPECT_EQ(photo_.green, Plane(3, 5));
}

}  // namespace
}  // namespace pictora
