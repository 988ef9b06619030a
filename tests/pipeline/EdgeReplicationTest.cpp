#include <gtest/gtest.h>

#include <zlib.h>

#include <array>
#include <string>
#include <vector>

#include "common/Jobs.h"
#include "common/SyntheticPng.h"
#include "common/TempFolder.h"
#include "image/PngImage.h"
#include "pipeline/ImageCompressor.h"
#include "pipeline/ResultFiles.h"
#include "support/FileIO.h"

namespace pictora {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A flat image of one colour, as PNG bytes.
Bytes FlatPng(std::uint32_t rows, std::uint32_t columns) {
    RgbImage image;
    image.Resize(static_cast<std::int32_t>(rows), static_cast<std::int32_t>(columns));
    image.red.Fill(200);
    image.green.Fill(120);
    image.blue.Fill(40);
    Bytes png;
    EXPECT_TRUE(EncodePngImage(image, PngPlanes::Rgb, png));
    return png;
}

// Whether every pixel of the reconstruction has the colour of its first one:
// no unwritten edge, no black frame.
::testing::AssertionResult ReconstructionIsFlat(const ImageCompressor& compressor) {
    if (!compressor.HasReconstruction()) return ::testing::AssertionFailure() << "no reconstruction";
    for (int c = 0; c < 3; ++c) {
        const Plane& plane = compressor.ReconstructedPlane(c);
        for (std::uint32_t y = 0; y < compressor.ReconstructionRows(); ++y)
            for (std::uint32_t x = 0; x < compressor.ReconstructionColumns(); ++x)
                if (plane[y][x] != plane[0][0])
                    return ::testing::AssertionFailure() << "plane " << c << " holds " << int{plane[y][x]} << " at "
                                                         << y << "," << x << " and " << int{plane[0][0]} << " at 0,0";
    }
    return ::testing::AssertionSuccess();
}

// A flat image is rebuilt flat to its last row and column, in every colour
// space, block side and size from 1 x 1 to just above the block (twice the
// block for the half-size chroma of 4:2:0), whichever way it is rebuilt: by
// training, from its decoded coded image, or by its codebooks applied again.
TEST(EdgeReplicationTest, FlatImagesRebuildFlatInEveryPathColourSpaceSideAndSize) {
    for (ColorSpace colorSpace : {ColorSpace::Rgb, ColorSpace::YCbCr444, ColorSpace::YCbCr420}) {
        for (std::uint32_t side = 1; side <= 12; ++side) {
            const std::uint32_t largest = colorSpace == ColorSpace::YCbCr420 ? 2 * side + 1 : side + 2;
            for (std::uint32_t rows = 1; rows <= largest; ++rows) {
                for (std::uint32_t columns = 1; columns <= largest; ++columns) {
                    SCOPED_TRACE("colour code " + std::to_string(FileCodeOf(colorSpace)) + ", side " + std::to_string(side) + ", " +
                                 std::to_string(columns) + " x " + std::to_string(rows));
                    const Bytes png = FlatPng(rows, columns);
                    ImageCompressor trained;
                    ASSERT_TRUE(trained.LoadImage(png, "flat.png"));
                    const bool lumaHoldsBlock = rows >= side && columns >= side;
                    const bool everyChannelTrains = colorSpace == ColorSpace::YCbCr420
                                                        ? rows / 2 >= side && columns / 2 >= side
                                                        : lumaHoldsBlock;
                    EXPECT_EQ(bool(trained.TrainAndCode(testing::MakeJob(colorSpace, side, {1, 1, 1}, true))),
                              everyChannelTrains);
                    ASSERT_TRUE(ReconstructionIsFlat(trained));
                    if (!lumaHoldsBlock) continue;
                    // Red 200 rebuilt: a frame left at zero would differ.
                    if (everyChannelTrains) {
                        EXPECT_NE(trained.ReconstructedPlane(0)[0][0], 0);
                    }

                    Bytes coded;
                    ASSERT_TRUE(trained.EncodeCodedImage(coded));
                    ImageCompressor decoded;
                    ASSERT_TRUE(decoded.DecodeCodedImage(coded));
                    ASSERT_TRUE(ReconstructionIsFlat(decoded));
                    EXPECT_EQ(decoded.ReconstructedPlane(0)[0][0], trained.ReconstructedPlane(0)[0][0]);
                    if (!everyChannelTrains) continue;

                    Bytes codebooks;
                    ASSERT_TRUE(trained.EncodeCodebooks(codebooks));
                    ImageCompressor applied;
                    ASSERT_TRUE(applied.LoadImage(png, "flat.png"));
                    ASSERT_TRUE(applied.ApplyCodebooks(codebooks, "flat.cod"));
                    ASSERT_TRUE(ReconstructionIsFlat(applied));
                    EXPECT_EQ(applied.Quality().psnrMean, trained.Quality().psnrMean);
                }
            }
        }
    }
}

// The same through the lossless stages' files, and over a second step.
TEST(EdgeReplicationTest, FilesOfEveryKindRebuildTheEdgesOfAContinuedRun) {
    testing::TempFolder folder;
    const Bytes png = FlatPng(21, 13);
    ImageCompressor trained;
    ASSERT_TRUE(trained.LoadImage(png, "flat.png"));
    ASSERT_TRUE(trained.TrainAndCode(testing::MakeJob(ColorSpace::YCbCr420, 3, {1, 1, 1}, true)));
    ASSERT_TRUE(trained.TrainAndCode(testing::MakeJob(ColorSpace::YCbCr420, 3, {1, 1, 1}, false)));
    ASSERT_TRUE(ReconstructionIsFlat(trained));
    for (const char* name : {"flat.mqc", "flat.huf", "flat.art"}) {
        SCOPED_TRACE(name);
        const std::string path = folder.File(name);
        ASSERT_TRUE(WriteResultFile(trained, ResultFileKindOf(path), path));
        ImageCompressor decoded;
        ASSERT_TRUE(DecodeResultFile(decoded, path));
        ASSERT_TRUE(ReconstructionIsFlat(decoded));
        EXPECT_EQ(decoded.ReconstructedPlane(2)[20][12], trained.ReconstructedPlane(2)[0][0]);
    }
}

// Edges change the pictures, never the files: the coded images and codebooks
// of these runs keep the bytes (CRC-32 and size) they had when the edges were
// left at zero.
TEST(EdgeReplicationTest, CodedFilesKeepTheirBytes) {
    struct Run {
        const char* photo;
        std::int32_t height, width;  // a crop, or 0 for the whole photo
        ColorSpace colorSpace;
        std::array<std::uint32_t, 3> sides;
        int steps;
        std::size_t codedSize;
        unsigned long codedCrc;
        std::size_t codebookSize;
        unsigned long codebookCrc;
    };
    const Run runs[] = {
        {"photo500-tiger.png", 0, 0, ColorSpace::Rgb, {8, 8, 8}, 1, 97579, 0x5fb8bb1d, 681224, 0x5b831015},
        {"photo500-tiger.png", 251, 333, ColorSpace::YCbCr420, {4, 4, 4}, 1, 9343, 0xc95557c6, 30352, 0x84a35570},
        {"photo64-a.png", 63, 61, ColorSpace::YCbCr444, {3, 5, 7}, 2, 387, 0xe5f81d14, 1112, 0xe3aa1268},
    };
    testing::TempFolder folder;
    for (const Run& run : runs) {
        SCOPED_TRACE(std::string(run.photo) + " " + std::to_string(run.width) + " x " + std::to_string(run.height));
        std::string path = testing::TestData(run.photo);
        if (run.height > 0) {
            path = folder.File("crop.png");
            ASSERT_TRUE(testing::CropPng(testing::TestData(run.photo), path, run.height, run.width));
        }
        ImageCompressor compressor;
        ASSERT_TRUE(compressor.LoadImage(path));
        for (int step = 0; step < run.steps; ++step) {
            TrainingJob job = testing::MakeJob(run.colorSpace, 1, {1, 1, 1}, step == 0);
            for (std::size_t c = 0; c < 3; ++c) job.channels[c].dimension = run.sides[c] * run.sides[c];
            ASSERT_TRUE(compressor.TrainAndCode(job));
        }
        Bytes coded, codebooks;
        ASSERT_TRUE(compressor.EncodeCodedImage(coded));
        ASSERT_TRUE(compressor.EncodeCodebooks(codebooks));
        EXPECT_EQ(coded.size(), run.codedSize);
        EXPECT_EQ(crc32(0, coded.data(), static_cast<uInt>(coded.size())), run.codedCrc);
        EXPECT_EQ(codebooks.size(), run.codebookSize);
        EXPECT_EQ(crc32(0, codebooks.data(), static_cast<uInt>(codebooks.size())), run.codebookCrc);
    }
}

}  // namespace
}  // namespace pictora
