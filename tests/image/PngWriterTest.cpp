#include "image/PngWriter.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <vector>

#include "image/LibpngReference.h"
#include "image/PngFiles.h"
#include "support/WorkerPool.h"

namespace pictora {
namespace {

using testing::Bytes;

// Planes of height x width, smooth with noise, so that the filters differ.
Plane Texture(std::uint32_t height, std::uint32_t width, std::mt19937& random) {
    Plane plane(height, width);
    for (std::uint32_t i = 0; i < height; ++i)
        for (std::uint32_t j = 0; j < width; ++j) plane[i][j] = static_cast<std::uint8_t>(2 * i + 3 * j + random() % 12);
    return plane;
}

// Every file decodes with libpng to the samples written, as RGB or grey,
// from the top-left corner of larger planes too, at sizes around the
// vectors' and the bands'.
TEST(PngWriter, LibpngDecodesEveryFileToTheSamplesWritten) {
    std::mt19937 random(5);
    for (std::uint32_t height : {1u, 2u, 31u, 33u, 70u}) {
        for (std::uint32_t width : {1u, 5u, 16u, 37u, 130u}) {
            SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
            const Plane red = Texture(height + 3, width + 2, random);
            const Plane green = Texture(height + 3, width + 2, random);
            const Plane blue = Texture(height + 3, width + 2, random);
            const Plane* const rgb[] = {&red, &green, &blue};
            testing::LibpngPicture picture;
            ASSERT_TRUE(testing::LibpngDecode(EncodePng(rgb, height, width), picture));
            EXPECT_EQ(picture.colourType, PNG_COLOR_TYPE_RGB);
            ASSERT_EQ(picture.width, width);
            ASSERT_EQ(picture.height, height);
            for (std::uint32_t i = 0; i < height; ++i)
                for (std::uint32_t j = 0; j < width; ++j)
                    ASSERT_TRUE(picture.samples[3 * (i * width + j)] == red[i][j] &&
                                picture.samples[3 * (i * width + j) + 1] == green[i][j] &&
                                picture.samples[3 * (i * width + j) + 2] == blue[i][j]);

            const Plane* const grey[] = {&green};
            ASSERT_TRUE(testing::LibpngDecode(EncodePng(grey, height, width), picture));
            EXPECT_EQ(picture.colourType, PNG_COLOR_TYPE_GRAY);
            for (std::uint32_t i = 0; i < height; ++i)
                for (std::uint32_t j = 0; j < width; ++j) ASSERT_EQ(picture.samples[i * width + j], green[i][j]);
        }
    }
}

// The bands are filtered on every core; a job started from inside a pool
// task runs on that one thread, and writes the same bytes.
TEST(PngWriter, OneThreadWritesTheSameBytesAsAll) {
    std::mt19937 random(8);
    const Plane red = Texture(301, 97, random), green = Texture(301, 97, random), blue = Texture(301, 97, random);
    const Plane* const rgb[] = {&red, &green, &blue};
    const Bytes spread = EncodePng(rgb, 301, 97);
    Bytes serial;
    WorkerPool::Shared().Run(1, [&](unsigned, unsigned) { serial = EncodePng(rgb, 301, 97); });
    EXPECT_EQ(serial, spread);
}

// Each row takes the filter that leaves it nearest zero: Sub for rows that
// grow from left to right, Up for rows like the one above, and none for the
// first row of zeros.
TEST(PngWriter, EachRowTakesTheFilterThatLeavesItNearestZero) {
    constexpr std::uint32_t kWidth = 40;
    Plane plane(6, kWidth);
    for (std::uint32_t j = 0; j < kWidth; ++j) {
        plane[1][j] = static_cast<std::uint8_t>(5 * j);
        plane[2][j] = static_cast<std::uint8_t>(5 * j);  // as row 1
        for (std::uint32_t i = 3; i < 6; ++i) plane[i][j] = static_cast<std::uint8_t>(97 * j * j + i);
    }
    const Plane* const grey[] = {&plane};
    const Bytes file = EncodePng(grey, 6, kWidth);
    // One IDAT chunk, after the signature and IHDR: its zlib stream.
    ASSERT_EQ(std::string(file.begin() + 37, file.begin() + 41), "IDAT");
    const Bytes stream(file.begin() + 41, file.begin() + 41 + testing::BigEndianAt(file, 33));
    Bytes rows(6 * (1 + kWidth));
    uLongf size = rows.size();
    ASSERT_EQ(uncompress(rows.data(), &size, stream.data(), static_cast<uLong>(stream.size())), Z_OK);
    ASSERT_EQ(size, rows.size());
    EXPECT_EQ(rows[0], 0);                 // zeros: none
    EXPECT_EQ(rows[1 + kWidth], 1);        // 0, 5, 10, ...: sub
    EXPECT_EQ(rows[2 * (1 + kWidth)], 2);  // the row above again: up
}

}  // namespace
}  // namespace pictora
