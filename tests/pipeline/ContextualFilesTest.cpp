#include <gtest/gtest.h>

#include "common/Jobs.h"
#include "common/TempFolder.h"
#include "image/ColorSpace.h"
#include "pipeline/ImageCompressor.h"
#include "pipeline/ResultFiles.h"
#include "quantizer/CodedImageLayout.h"
#include "support/FileIO.h"

namespace pictora {
namespace {

using testing::TempFolder;
using testing::TestData;
using Bytes = std::vector<std::uint8_t>;

TEST(ContextualFilesTest, TheLayoutHalvesTheChromaOfTheColourSpaceThatDoes) {
    EXPECT_EQ(FileCodeOf(ColorSpace::YCbCr420), kHalfChromaColourCode);
    EXPECT_NE(FileCodeOf(ColorSpace::YCbCr444), kHalfChromaColourCode);
    EXPECT_NE(FileCodeOf(ColorSpace::Rgb), kHalfChromaColourCode);
}

// Trained images of every colour space and several blocks and steps: the
// .mqz gives back the .mqc byte for byte, is smaller, and opens as it does.
TEST(ContextualFilesTest, TrainedImagesRoundTripAndOpenAsTheirCodedImage) {
    TempFolder folder;
    const char* photos[] = {"photo64-a.png", "photo64-b.png", "photo500-tiger.png"};
    int case_ = 0;
    for (ColorSpace space : {ColorSpace::Rgb, ColorSpace::YCbCr444, ColorSpace::YCbCr420}) {
        for (std::uint32_t side : {2u, 4u, 8u}) {
            const char* photo = photos[case_++ % 3];
            SCOPED_TRACE(std::string(photo) + " block " + std::to_string(side));
            ImageCompressor trained;
            ASSERT_TRUE(trained.LoadImage(TestData(photo)));
            const std::uint32_t passes = side == 4 ? 2 : 1;
            ASSERT_TRUE(trained.TrainAndCode(testing::MakeJob(space, side, {passes, passes, passes}, true)));
            LosslessImage image;
            ASSERT_TRUE(EncodeLosslessImage(trained, LosslessMode::Contextual, image));
            EXPECT_LT(image.Ratio(), 1.0);
            Bytes back;
            ASSERT_TRUE(DecodeBytesWith(LosslessMode::Contextual, image.packed, back));
            EXPECT_TRUE(back == image.coded);

            ASSERT_TRUE(WriteResultFile(trained, ResultFileKind::Contextual, folder.File("t.mqz")));
            ImageCompressor opened;
            std::size_t codedSize = 0;
            ASSERT_TRUE(DecodeResultFile(opened, folder.File("t.mqz"), &codedSize));
            EXPECT_EQ(codedSize, image.coded.size());
            Bytes reopened;
            ASSERT_TRUE(opened.EncodeCodedImage(reopened));
            EXPECT_TRUE(reopened == image.coded);
            EXPECT_EQ(opened.ColorSpace(), space);
        }
    }
}

TEST(ContextualFilesTest, ADamagedFileLeavesTheCompressorAsItWas) {
    TempFolder folder;
    ImageCompressor compressor;
    ASSERT_TRUE(compressor.LoadImage(TestData("photo64-d.png")));
    ASSERT_TRUE(compressor.TrainAndCode(testing::MakeJob(ColorSpace::YCbCr420, 4, {1, 1, 1}, true)));
    ASSERT_TRUE(WriteResultFile(compressor, ResultFileKind::Contextual, folder.File("d.mqz")));
    Bytes before, file;
    ASSERT_TRUE(compressor.EncodeCodedImage(before));
    ASSERT_TRUE(ReadWholeFile(folder.File("d.mqz"), file));
    for (std::size_t at : {std::size_t{0}, std::size_t{20}, file.size() / 2, file.size() - 1}) {
        Bytes damaged = file;
        damaged[at] ^= 0x04;
        ASSERT_TRUE(WriteFileAtomically(folder.File("x.mqz"), damaged));
        const Status status = DecodeResultFile(compressor, folder.File("x.mqz"));
        EXPECT_FALSE(status);
        EXPECT_EQ(status.kind(), ErrorKind::DamagedFile);
        EXPECT_EQ(status.subject(), folder.File("x.mqz"));
        Bytes after;
        ASSERT_TRUE(compressor.EncodeCodedImage(after));
        EXPECT_TRUE(after == before);
    }
}

}  // namespace
}  // namespace pictora
