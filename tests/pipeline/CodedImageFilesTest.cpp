#include <gtest/gtest.h>

#include <random>

#include "common/SyntheticPng.h"
#include "common/Jobs.h"
#include "common/TempFolder.h"
#include "pipeline/ImageCompressor.h"
#include "quantizer/CodedSection.h"
#include "support/ByteStream.h"
#include "support/FileIO.h"

namespace pictora {
namespace {

using testing::TempFolder;
using testing::TestData;
using Bytes = std::vector<std::uint8_t>;

TrainingJob Job(ColorSpace colorSpace, std::uint32_t side, bool restart, LowPassFilter filter = LowPassFilter::None) {
    return testing::MakeJob(colorSpace, side, {1, 1, 1}, restart, filter);
}

std::uint32_t U32At(const Bytes& bytes, std::size_t offset) {
    return bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 | static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
}

Bytes Encode(const ImageCompressor& compressor) {
    Bytes bytes;
    EXPECT_TRUE(compressor.EncodeCodedImage(bytes));
    return bytes;
}

TEST(CodedImageFilesTest, ChannelSectionsFollowTheLayout) {
    TempFolder folder;
    ASSERT_TRUE(testing::CropPng(TestData("photo64-a.png"), folder.File("a.png"), 48, 64));
    ImageCompressor compressor;
    ASSERT_TRUE(compressor.LoadImage(folder.File("a.png")));
    ASSERT_TRUE(compressor.TrainAndCode(Job(ColorSpace::Rgb, 3, true)));
    const Bytes bytes = Encode(compressor);

    ASSERT_GE(bytes.size(), 16u);
    EXPECT_EQ(bytes[0], 0x40);
    EXPECT_EQ(bytes[1], 0x00);
    EXPECT_EQ(bytes[2], 0x00);
    EXPECT_EQ(bytes[3], 0x01);  // RGB
    EXPECT_EQ(U32At(bytes, 4), 48u);
    EXPECT_EQ(U32At(bytes, 8), 9u);
    const std::uint32_t count = U32At(bytes, 12);
    EXPECT_EQ(count, static_cast<std::uint32_t>(compressor.GetNeuronCount(0)));
    std::uint32_t width = 0;
    while ((count >> width) != 0) ++width;
    const std::size_t block = 16 + count * 9;
    EXPECT_EQ(bytes[block], width);
    EXPECT_EQ(U32At(bytes, block + 1), width * 341);  // 64 * 48 / 9 entries, 336 of them blocks
    const std::size_t words = (width * 341 + 31) / 32;
    EXPECT_EQ(U32At(bytes, block + 5 + 4 * words), 64u);  // channel 1 starts with its plain width
}

TEST(CodedImageFilesTest, HalfSizeChromaSectionsAndTheColourCode) {
    TempFolder folder;
    ASSERT_TRUE(testing::CropPng(TestData("photo64-b.png"), folder.File("b.png"), 48, 64));
    ImageCompressor compressor;
    ASSERT_TRUE(compressor.LoadImage(folder.File("b.png")));
    ASSERT_TRUE(compressor.TrainAndCode(Job(ColorSpace::YCbCr420, 4, true)));
    const Bytes bytes = Encode(compressor);
    EXPECT_EQ(U32At(bytes, 0), 0x02000040u);

    ImageCompressor decoder;
    ASSERT_TRUE(decoder.DecodeCodedImage(bytes));
    EXPECT_EQ(decoder.ColorSpace(), ColorSpace::YCbCr420);
    EXPECT_EQ(decoder.Channel(1).Rows(), 24u);
    EXPECT_EQ(decoder.Channel(1).Columns(), 32u);
}

struct RoundTripCase {
    ColorSpace colorSpace;
    std::int32_t height, width;
    std::uint32_t side;
};

class CodedRoundTripTest : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(CodedRoundTripTest, DecodingShowsWhatTrainingProducedAndReencodesByteForByte) {
    const RoundTripCase param = GetParam();
    TempFolder folder;
    ASSERT_TRUE(testing::CropPng(TestData("photo64-c.png"), folder.File("c.png"), param.height, param.width));
    ImageCompressor trained;
    ASSERT_TRUE(trained.LoadImage(folder.File("c.png")));
    ASSERT_TRUE(trained.TrainAndCode(Job(param.colorSpace, param.side, true)));
    ASSERT_TRUE(trained.TrainAndCode(Job(param.colorSpace, param.side, false)));
    ASSERT_TRUE(trained.WriteCodedFile(folder.File("c.mqc")));

    ImageCompressor decoder;
    ASSERT_TRUE(decoder.DecodeCodedFile(folder.File("c.mqc")));
    for (int c = 0; c < 3; ++c) {
        const Plane& expected = trained.ReconstructedPlane(c);
        const Plane& actual = decoder.ReconstructedPlane(c);
        for (std::int32_t i = 0; i < param.height; ++i)
            for (std::int32_t j = 0; j < param.width; ++j)
                ASSERT_EQ(actual[i][j], expected[i][j]) << "channel " << c << " at " << i << "," << j;
        EXPECT_EQ(decoder.GetNeuronCount(c), trained.GetNeuronCount(c));
    }
    EXPECT_TRUE(decoder.HasReconstruction());
    EXPECT_EQ(Encode(decoder), Encode(trained));

    // The rate breakdown adds up to the file, in every colour space and size.
    const CodedImageRate rate = trained.Rate();
    EXPECT_EQ(rate.Total(), Encode(trained).size());
    std::uint64_t codebooks = 0;
    for (int c = 0; c < 3; ++c) codebooks += std::uint64_t{trained.Channel(c).NeuronCount()} * trained.Channel(c).Dimension();
    EXPECT_EQ(rate.codebookBytes, codebooks);
    EXPECT_EQ(rate.headerBytes, 48u);
    EXPECT_EQ(decoder.Rate().Total(), rate.Total());
}

INSTANTIATE_TEST_SUITE_P(ColourSpacesAndOddSizes, CodedRoundTripTest,
                         ::testing::Values(RoundTripCase{ColorSpace::Rgb, 64, 64, 8},
                                           RoundTripCase{ColorSpace::YCbCr444, 45, 61, 3},
                                           RoundTripCase{ColorSpace::YCbCr420, 64, 64, 4},
                                           RoundTripCase{ColorSpace::YCbCr420, 47, 63, 5},
                                           RoundTripCase{ColorSpace::YCbCr420, 33, 64, 2}));

TEST(CodedImageFilesTest, UnknownColourCodeDecodesWithoutConversion) {
    ImageCompressor trained;
    ASSERT_TRUE(trained.LoadImage(TestData("photo64-d.png")));
    ASSERT_TRUE(trained.TrainAndCode(Job(ColorSpace::YCbCr444, 8, true)));
    Bytes bytes = Encode(trained);
    bytes[3] = 7;
    ImageCompressor decoder;
    ASSERT_TRUE(decoder.DecodeCodedImage(bytes));
    EXPECT_EQ(decoder.ColorSpace(), ColorSpace::None);
    EXPECT_EQ(decoder.ReconstructedPlane(1), decoder.Channel(1).Rebuilt());
}

TEST(CodedImageFilesTest, AnUntrainedChannelIsWrittenEmptyAndReadBack) {
    TempFolder folder;
    ASSERT_TRUE(testing::CropPng(TestData("photo64-a.png"), folder.File("a.png"), 20, 20));
    ImageCompressor trained;
    ASSERT_TRUE(trained.LoadImage(folder.File("a.png")));
    EXPECT_FALSE(trained.TrainAndCode(Job(ColorSpace::YCbCr420, 12, true)));  // chroma 10 x 10 holds no block
    const Bytes bytes = Encode(trained);
    ImageCompressor decoder;
    ASSERT_TRUE(decoder.DecodeCodedImage(bytes));
    EXPECT_EQ(decoder.GetNeuronCount(1), 0);
    EXPECT_EQ(decoder.GetNeuronCount(0), trained.GetNeuronCount(0));
}

// A channel without codebook justifies no work arrays: its blocks may be as
// large as the image (a 33 KB file with two such channels of 16384 x 16384
// blocks took 5.8 GB). It is read as its planes and block dimension, written
// back the same, and a job that continues the run starts it afresh.
TEST(CodedImageFilesTest, AnEmptyChannelGetsNoWorkArraysAndAContinuedJobRestarts) {
    ImageCompressor trained;
    ASSERT_TRUE(trained.LoadImage(TestData("photo64-a.png")));
    TrainingJob job = Job(ColorSpace::Rgb, 4, true);
    job.channels[2].passes = 0;
    ASSERT_TRUE(trained.TrainAndCode(job));
    Bytes bytes = Encode(trained);
    ASSERT_EQ(U32At(bytes, bytes.size() - 13), 16u);  // d of the empty last section (16-byte head, 5-byte empty index)
    ByteWriter(bytes).PatchU32(bytes.size() - 13, 64 * 64);

    ImageCompressor decoded;
    ASSERT_TRUE(decoded.LoadImage(TestData("photo64-a.png")));
    ASSERT_TRUE(decoded.DecodeCodedImage(bytes));
    EXPECT_TRUE(decoded.Channel(0).HoldsWork());
    EXPECT_FALSE(decoded.Channel(2).HoldsWork());
    EXPECT_EQ(decoded.Channel(2).Dimension(), 64u * 64u);
    EXPECT_EQ(Encode(decoded), bytes);

    TrainingJob next = Job(ColorSpace::Rgb, 4, false);
    ASSERT_TRUE(decoded.TrainAndCode(next));
    for (int c = 0; c < 3; ++c) {
        EXPECT_TRUE(decoded.Channel(c).HoldsWork());
        EXPECT_EQ(decoded.Channel(c).Dimension(), 16u);
    }
}

TEST(CodedImageFilesTest, AChannelZeroWithoutCodebookIsNeitherWrittenNorRead) {
    ImageCompressor trained;
    ASSERT_TRUE(trained.LoadImage(TestData("photo64-a.png")));
    TrainingJob job = Job(ColorSpace::Rgb, 4, true);
    job.channels[0].passes = 0;
    ASSERT_TRUE(trained.TrainAndCode(job));
    Bytes bytes;
    EXPECT_FALSE(trained.EncodeCodedImage(bytes));

    // Nothing in such a file justifies its planes: 16384 x 16384 from 30 bytes.
    Bytes empty;
    ByteWriter out(empty);
    for (std::uint32_t value : {0x01004000u, 16384u, 4u, 0u}) out.PutU32(value);
    out.PutU8(0);
    out.PutU32(0);
    ImageCompressor decoder;
    Status status = decoder.DecodeCodedImage(empty);
    EXPECT_FALSE(status);
    EXPECT_NE(status.message().find("channel 0 holds no codebook"), std::string::npos);
}

// Every refused file leaves the compressor exactly as it was.
class DamagedCodedFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(source_.LoadImage(TestData("photo64-b.png")));
        ASSERT_TRUE(source_.TrainAndCode(Job(ColorSpace::YCbCr420, 4, true)));
        good_ = Encode(source_);
        ASSERT_TRUE(target_.LoadImage(TestData("photo64-a.png")));
        ASSERT_TRUE(target_.TrainAndCode(Job(ColorSpace::Rgb, 8, true)));
        before_ = Encode(target_);
    }

    void ExpectRefusedOrDecoded(const Bytes& bytes) {
        Status status = target_.DecodeCodedImage(bytes);
        if (!status) {
            EXPECT_FALSE(status.message().empty());
            EXPECT_EQ(Encode(target_), before_);
            EXPECT_EQ(target_.ColorSpace(), ColorSpace::Rgb);
        } else {
            ASSERT_TRUE(target_.TrainAndCode(Job(ColorSpace::Rgb, 8, true)));  // back to the known state
        }
    }

    ImageCompressor source_, target_;
    Bytes good_, before_;
};

TEST_F(DamagedCodedFileTest, EveryTruncationIsRefused) {
    for (std::size_t length = 0; length < good_.size(); length += 1 + length / 16) {
        Bytes cut(good_.begin(), good_.begin() + static_cast<std::ptrdiff_t>(length));
        EXPECT_FALSE(target_.DecodeCodedImage(cut)) << length;
        EXPECT_EQ(Encode(target_), before_);
    }
    Bytes longer = good_;
    longer.push_back(0);
    EXPECT_FALSE(target_.DecodeCodedImage(longer));
}

TEST_F(DamagedCodedFileTest, FlippedBitsAndRandomFilesNeverCorruptTheState) {
    std::mt19937 random(42);
    for (int trial = 0; trial < 300; ++trial) {
        Bytes flipped = good_;
        const std::size_t at = random() % std::min<std::size_t>(flipped.size(), trial % 2 ? 64 : flipped.size());
        flipped[at] ^= static_cast<std::uint8_t>(1u << (random() % 8));
        ExpectRefusedOrDecoded(flipped);
    }
    for (int trial = 0; trial < 100; ++trial) {
        Bytes noise(random() % 2000);
        for (auto& byte : noise) byte = static_cast<std::uint8_t>(random());
        ExpectRefusedOrDecoded(noise);
    }
}

TEST_F(DamagedCodedFileTest, HeaderFieldsThatCannotBeTrustedAreNamed) {
    Bytes badDimension = good_;
    badDimension[8] = 8;  // not a square
    Status status = target_.DecodeCodedImage(badDimension);
    EXPECT_FALSE(status);
    EXPECT_NE(status.message().find("block dimension 8"), std::string::npos) << status.message();

    Bytes hugeCount = good_;
    hugeCount[14] = 0xFF;  // K in the millions, with no pixels to back it
    EXPECT_FALSE(target_.DecodeCodedImage(hugeCount));
    EXPECT_EQ(Encode(target_), before_);
    EXPECT_FALSE(target_.DecodeCodedFile("/nonexistent/file.mqc"));
}

// Planes no larger than an image the program reads: 2^28 pixels. Beyond, a
// 74 KB file of one 256 x 256 block repeated over 65535 x 65535 pixels would
// take some 25 GB of planes before it was found out.
TEST(CodedSectionHeaderTest, PlanesAreLimitedToThePixelsOfTheLargestImage) {
    auto header = [](std::uint32_t columns, std::uint32_t rows) {
        Bytes bytes;
        ByteWriter out(bytes);
        for (std::uint32_t value : {columns | 0x01000000u, rows, 1u, 1u}) out.PutU32(value);
        out.PutU8(0);
        return bytes;
    };
    for (auto [columns, rows] : {std::pair{16384u, 16384u}, std::pair{65535u, 4096u}, std::pair{4096u, 65535u}}) {
        const Bytes largest = header(columns, rows);
        ByteReader in(largest);
        CodedSectionHeader read;
        EXPECT_TRUE(ReadCodedSectionHeader(in, read)) << columns << " x " << rows;
    }
    for (auto [columns, rows] : {std::pair{16385u, 16384u}, std::pair{65535u, 65535u}, std::pair{65535u, 4097u}}) {
        const Bytes larger = header(columns, rows);
        ByteReader in(larger);
        CodedSectionHeader read;
        const Status status = ReadCodedSectionHeader(in, read);
        EXPECT_FALSE(status) << columns << " x " << rows;
        EXPECT_NE(status.message().find("larger than the 268435456"), std::string::npos) << status.message();
        EXPECT_EQ(in.Position(), 0u);
    }
}

}  // namespace
}  // namespace pictora
