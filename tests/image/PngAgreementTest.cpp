// The PNG reader against libpng: every file libpng decodes as RGB decodes to
// the same pixels here, every other file is refused, and no damaged file is
// taken here that libpng refuses.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "common/TempFolder.h"
#include "image/LibpngReference.h"
#include "image/PngFiles.h"
#include "image/PngImage.h"
#include "support/FileIO.h"

namespace pictora {
namespace {

using testing::Bytes;
using testing::LibpngDecode;
using testing::LibpngEncodeRgb;
using testing::LibpngPicture;

Bytes Interleaved(const RgbImage& image) {
    Bytes samples;
    for (std::int32_t i = 0; i < image.height; ++i)
        for (std::int32_t j = 0; j < image.width; ++j) samples.insert(samples.end(), {image.red[i][j], image.green[i][j], image.blue[i][j]});
    return samples;
}

// What libpng makes of `file` is what the reader makes of it.
void ExpectAgreement(const Bytes& file, const std::string& name) {
    SCOPED_TRACE(name);
    LibpngPicture reference;
    const bool libpngReads = LibpngDecode(file, reference);
    RgbImage image;
    const Status result = DecodePngImage(file, image);
    if (libpngReads && reference.colourType == PNG_COLOR_TYPE_RGB) {
        ASSERT_TRUE(result) << result.message();
        EXPECT_EQ(static_cast<std::uint32_t>(image.width), reference.width);
        EXPECT_EQ(static_cast<std::uint32_t>(image.height), reference.height);
        EXPECT_TRUE(Interleaved(image) == reference.samples);
    } else {
        EXPECT_FALSE(result);
        EXPECT_EQ(image.height, 0);
    }
}

std::vector<std::filesystem::path> PngFilesUnder(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (entry.path().extension() == ".png") files.push_back(entry.path());
    return files;
}

// The photos, the samples, the refused kinds and the small files of every
// layout in tests/data/png (plain, interlaced, 16-bit, odd sizes, each
// filter, stored blocks).
TEST(PngAgreement, EveryFileOfTheProjectDecodesAsLibpngDecodesIt) {
    const std::filesystem::path data = testing::TestData("");
    std::vector<std::filesystem::path> files = PngFilesUnder(data);
    for (const auto& sample : PngFilesUnder(data / ".." / ".." / "samples")) files.push_back(sample);
    ASSERT_GE(files.size(), 23u);
    for (const auto& path : files) {
        Bytes file;
        ASSERT_TRUE(ReadWholeFile(path.string(), file));
        ExpectAgreement(file, path.filename().string());
    }
}

// libpng's files of every small size, both depths, with and without
// interlacing, each filter alone and libpng's own choice per row.
TEST(PngAgreement, LibpngFilesOfEveryLayoutDecodeAlike) {
    std::mt19937 random(7);
    for (int bitDepth : {8, 16}) {
        for (int interlace : {PNG_INTERLACE_NONE, PNG_INTERLACE_ADAM7}) {
            for (int filters : {PNG_FILTER_NONE, PNG_FILTER_SUB, PNG_FILTER_UP, PNG_FILTER_AVG, PNG_FILTER_PAETH,
                                PNG_ALL_FILTERS}) {
                for (std::uint32_t width : {1u, 2u, 3u, 5u, 8u, 9u, 17u, 40u}) {
                    for (std::uint32_t height : {1u, 2u, 4u, 7u, 9u, 16u}) {
                        // Smooth rows with noise, so that every filter predicts well at times and badly at others.
                        std::vector<Bytes> rows(height);
                        for (std::uint32_t y = 0; y < height; ++y)
                            for (std::uint32_t k = 0; k < 3 * width * (bitDepth / 8); ++k)
                                rows[y].push_back(static_cast<std::uint8_t>(7 * y + 3 * k + random() % 9));
                        const Bytes file = LibpngEncodeRgb(width, rows, bitDepth, interlace, filters);
                        ASSERT_FALSE(file.empty());
                        ExpectAgreement(file, std::to_string(width) + " x " + std::to_string(height) + ", depth " +
                                                  std::to_string(bitDepth) + ", interlace " + std::to_string(interlace) +
                                                  ", filters " + std::to_string(filters));
                    }
                }
            }
        }
    }
}

// Damaged copies of files: cut at random places, random bytes changed with
// and without their chunk's CRC made to match. The reader never takes a file
// libpng refuses, and what both take decodes alike. The reader is stricter
// than libpng in two ways only: image data that inflate to more than the
// image, or whose zlib checksum fails, libpng takes with a warning.
TEST(PngAgreement, DamagedFilesAreNeverTakenWhereLibpngRefusesThem) {
    std::mt19937 random(21);
    for (const char* name : {"photo64-a.png", "png/rgb8-37x23-interlaced.png", "png/rgb16-19x7.png"}) {
        Bytes original;
        ASSERT_TRUE(ReadWholeFile(testing::TestData(name), original));
        for (int trial = 0; trial < 300; ++trial) {
            Bytes file = original;
            const std::size_t at = random() % file.size();
            if (trial % 3 == 0) {
                file.resize(at);
            } else {
                file[at] ^= static_cast<std::uint8_t>(1 + random() % 255);
                if (trial % 3 == 2) file = testing::WithCrcsMadeToMatch(file);
            }
            LibpngPicture reference;
            const bool libpngReads = LibpngDecode(file, reference) && reference.colourType == PNG_COLOR_TYPE_RGB;
            RgbImage image;
            const Status result = DecodePngImage(file, image);
            SCOPED_TRACE(std::string(name) + ", trial " + std::to_string(trial) + ": " + result.message());
            if (result) {
                ASSERT_TRUE(libpngReads);
                EXPECT_TRUE(Interleaved(image) == reference.samples);
            } else if (libpngReads) {
                const std::string& message = result.message();
                EXPECT_TRUE(message.find("not a valid zlib stream") != std::string::npos ||
                            message.find("hold more than") != std::string::npos);
            }
        }
    }
}

}  // namespace
}  // namespace pictora
