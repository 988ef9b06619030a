// Damaged and hostile PNG files, each refused with its own message before
// anything is allocated for what it claims, or taken where the damage is in
// nothing the image needs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image/PngFiles.h"
#include "image/PngImage.h"

namespace pictora {
namespace {

using testing::Bytes;
using testing::Chunk;
using testing::Deflated;
using testing::HeaderData;
using testing::PngOf;
using testing::RgbPng;
using testing::UnfilteredRows;

constexpr std::uint32_t kSide = 24;

// Decodes `file` and returns the message of its refusal as damaged, empty
// when it decoded.
std::string Refusal(const Bytes& file) {
    RgbImage image;
    const Status decoded = DecodePngImage(file, image);
    if (!decoded) {
        EXPECT_EQ(decoded.kind(), ErrorKind::DamagedFile) << decoded.message();
    }
    return decoded.message();
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

const Bytes& PlainFile() {
    static const Bytes file = RgbPng(kSide, kSide, UnfilteredRows(kSide, kSide));
    return file;
}

RgbImage Decoded(const Bytes& file) {
    RgbImage image;
    EXPECT_TRUE(DecodePngImage(file, image));
    return image;
}

TEST(PngReader, RefusesBrokenStructure) {
    Bytes badCrc = PlainFile();
    badCrc[badCrc.size() - 20] ^= 0x01;  // in the IDAT chunk's data
    EXPECT_TRUE(Contains(Refusal(badCrc), "CRC error in its IDAT chunk"));

    Bytes cut = PlainFile();
    cut.resize(cut.size() - 20);
    EXPECT_TRUE(Contains(Refusal(cut), "ends inside its IDAT chunk"));

    Bytes noEnd = PlainFile();
    noEnd.resize(noEnd.size() - 12);
    EXPECT_TRUE(Contains(Refusal(noEnd), "ends before its IEND chunk"));

    Bytes signature = PlainFile();
    signature[1] = 'p';
    EXPECT_TRUE(Contains(Refusal(signature), "not a PNG file"));

    const Bytes header = Chunk("IHDR", HeaderData(kSide, kSide));
    const Bytes data = Chunk("IDAT", Deflated(UnfilteredRows(kSide, kSide)));
    const Bytes end = Chunk("IEND", {});
    EXPECT_TRUE(Contains(Refusal(PngOf({Chunk("tEXt", {'a', 0, 'b'}), header, data, end})), "first chunk is tEXt"));
    EXPECT_TRUE(Contains(Refusal(PngOf({header, header, data, end})), "second IHDR"));
    EXPECT_TRUE(Contains(Refusal(PngOf({header, Chunk("QUUX", {1}), data, end})), "critical chunk QUUX"));
    EXPECT_TRUE(Contains(Refusal(PngOf({header, end})), "no image data"));
    EXPECT_TRUE(Contains(Refusal(PngOf({header, data, Chunk("IDA1", {}), end})), "no valid length and type"));
}

TEST(PngReader, RefusesHeadersOutsideTheFormat) {
    const Bytes data = Chunk("IDAT", Deflated(UnfilteredRows(kSide, kSide)));
    const Bytes end = Chunk("IEND", {});
    for (const Bytes& header : {HeaderData(0, kSide), HeaderData(kSide, 0x80000000u), HeaderData(kSide, kSide, 7),
                                HeaderData(kSide, kSide, 4, 2), HeaderData(kSide, kSide, 16, 3),
                                HeaderData(kSide, kSide, 8, 5), HeaderData(kSide, kSide, 8, 2, 2)}) {
        EXPECT_TRUE(Contains(Refusal(PngOf({Chunk("IHDR", header), data, end})), "its header declares"));
    }
    Bytes longer = HeaderData(kSide, kSide);
    longer.push_back(0);
    EXPECT_TRUE(Contains(Refusal(PngOf({Chunk("IHDR", longer), data, end})), "14 bytes, not 13"));
}

// The image data inflate to exactly the rows the header declares: neither
// more, which stops the inflating at the image's size, nor fewer.
TEST(PngReader, RefusesImageDataOfAnotherSize) {
    Bytes longer = UnfilteredRows(kSide, kSide + 1);
    EXPECT_TRUE(Contains(Refusal(RgbPng(kSide, kSide, longer)), "hold more than the 1752 bytes of its rows"));
    Bytes shorter = UnfilteredRows(kSide, kSide);
    shorter.pop_back();
    EXPECT_TRUE(Contains(Refusal(RgbPng(kSide, kSide, shorter)), "end after 1751 of the 1752 bytes"));

    Bytes badFilter = UnfilteredRows(kSide, kSide);
    badFilter[5 * (1 + 3 * kSide)] = 5;
    EXPECT_TRUE(Contains(Refusal(RgbPng(kSide, kSide, badFilter)), "filter type 5"));

    EXPECT_TRUE(Contains(Refusal(testing::WithDamagedImageData(PlainFile())), "not a valid zlib stream"));
}

// A header that claims more rows than its image data can inflate to (a zlib
// stream grows at most 1032 times) is refused before any plane exists.
TEST(PngReader, RefusesClaimsTheImageDataCannotHold) {
    const Bytes hostile = PngOf({Chunk("IHDR", HeaderData(16384, 16384)),
                                 Chunk("IDAT", Deflated(UnfilteredRows(16, 1))), Chunk("IEND", {})});
    ASSERT_LT(hostile.size(), 128u);
    RgbImage image;
    RowArrival arrival;
    const Status refused = DecodePngInPlace(hostile, image, arrival);
    EXPECT_EQ(refused.kind(), ErrorKind::DamagedFile);
    EXPECT_FALSE(arrival.WaitForStart());
    EXPECT_TRUE(Contains(refused.message(), "cannot hold the 16384 x 16384 pixels")) << refused.message();
    EXPECT_EQ(image.red.Height(), 0u);

    // Image data that do inflate that far are taken: a black 2000 x 1000
    // picture is some 6 MB of rows in a few kilobytes.
    const Bytes black = PngOf({Chunk("IHDR", HeaderData(2000, 1000)), Chunk("IDAT", Deflated(Bytes(1000 * 6001, 0))),
                               Chunk("IEND", {})});
    EXPECT_LT(black.size() * 500, 1000u * 6001);
    RgbImage taken;
    EXPECT_TRUE(DecodePngImage(black, taken));
    EXPECT_EQ(taken.width, 2000);
}

// What no image needs is not read: ancillary chunks (whatever their CRC),
// a palette in an RGB file, bytes after the zlib stream, IDAT chunks after
// the image data's run, empty IDAT chunks, anything after IEND.
TEST(PngReader, TakesWhatTheImageDoesNotNeed) {
    const Bytes rows = UnfilteredRows(kSide, kSide);
    const Bytes stream = Deflated(rows);
    const Bytes header = Chunk("IHDR", HeaderData(kSide, kSide));
    const Bytes end = Chunk("IEND", {});
    const RgbImage plain = Decoded(PlainFile());

    Bytes badText = Chunk("tEXt", {'k', 0, 'v'});
    badText.back() ^= 0xFF;
    Bytes streamAndMore = stream;
    streamAndMore.insert(streamAndMore.end(), {1, 2, 3, 4});
    const Bytes first(stream.begin(), stream.begin() + 10);
    const Bytes rest(stream.begin() + 10, stream.end());
    Bytes trailing = PngOf({header, Chunk("IDAT", stream), end});
    trailing.insert(trailing.end(), {'j', 'u', 'n', 'k'});
    for (const Bytes& file : {PngOf({header, badText, Chunk("PLTE", {1, 2, 3}), Chunk("IDAT", stream), end}),
                              PngOf({header, Chunk("IDAT", streamAndMore), end}),
                              PngOf({header, Chunk("IDAT", first), Chunk("IDAT", {}), Chunk("IDAT", rest), end}),
                              PngOf({header, Chunk("IDAT", stream), Chunk("tEXt", {'k', 0}), Chunk("IDAT", {9}), end}),
                              trailing}) {
        const RgbImage image = Decoded(file);
        EXPECT_TRUE(image.red == plain.red && image.green == plain.green && image.blue == plain.blue);
    }
    EXPECT_EQ(plain.red[3][2], static_cast<std::uint8_t>(3 * 2 + 5 * 3));
    EXPECT_EQ(plain.blue[3][2], static_cast<std::uint8_t>(3 * 2 + 5 * 3 + 2));
}

}  // namespace
}  // namespace pictora
