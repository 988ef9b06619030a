#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "reference/ReferenceCodecFactory.h"
#include "reference/TestPhoto.h"

namespace pictora {
namespace {

using testing::TestPhoto;

// A damaged file must come back as a refusal, never a crash, and must leave
// the image the caller passed in as it was.
class CorruptFileTest : public ::testing::TestWithParam<ReferenceCodecKind> {
protected:
    void SetUp() override {
        codec_ = MakeReferenceCodec(GetParam());
        const std::vector<double> ladder = codec_->Ladder();
        ASSERT_TRUE(codec_->Encode(TestPhoto("photo64-d.png"), ladder[ladder.size() / 2], file_).ok());
        ASSERT_GT(file_.size(), 64u);
        untouched_.height = 3;
        untouched_.width = 2;
        untouched_.red.Allocate(3, 2);
        untouched_.red[1][1] = 77;
    }

    void ExpectRefused(const std::vector<std::uint8_t>& damaged, const std::string& what) {
        RgbImage image = untouched_;
        const Status status = codec_->Decode(damaged, image);
        EXPECT_FALSE(status.ok()) << codec_->Name() << ": " << what;
        EXPECT_NE(status.message().find(codec_->Name()), std::string::npos) << status.message();
        EXPECT_EQ(image.height, 3);
        EXPECT_EQ(image.width, 2);
        EXPECT_EQ(image.red[1][1], 77);
    }

    std::unique_ptr<ReferenceCodec> codec_;
    std::vector<std::uint8_t> file_;
    RgbImage untouched_;
};

TEST_P(CorruptFileTest, TruncatedFilesAreRefused) {
    for (std::size_t kept : {std::size_t{0}, std::size_t{1}, std::size_t{12}, file_.size() / 2, file_.size() - 1}) {
        ExpectRefused(std::vector<std::uint8_t>(file_.begin(), file_.begin() + kept),
                      "kept " + std::to_string(kept) + " of " + std::to_string(file_.size()) + " bytes");
    }
}

TEST_P(CorruptFileTest, DamagedSignatureIsRefused) {
    for (std::size_t at = 0; at < 2; ++at) {
        std::vector<std::uint8_t> damaged = file_;
        damaged[at] ^= 0xFF;
        ExpectRefused(damaged, "byte " + std::to_string(at) + " flipped");
    }
}

TEST_P(CorruptFileTest, RandomBytesAreRefused) {
    std::mt19937 random(20240607);
    for (std::size_t size : {std::size_t{16}, file_.size(), std::size_t{5000}}) {
        std::vector<std::uint8_t> noise(size);
        for (std::uint8_t& byte : noise) byte = static_cast<std::uint8_t>(random());
        ExpectRefused(noise, std::to_string(size) + " random bytes");
    }
}

TEST_P(CorruptFileTest, FilesOfAnotherCodecAreRefused) {
    for (ReferenceCodecKind other : kAllReferenceCodecKinds) {
        if (other == GetParam()) continue;
        std::vector<std::uint8_t> foreign;
        ASSERT_TRUE(MakeReferenceCodec(other)->Encode(TestPhoto("photo64-d.png"), MakeReferenceCodec(other)->Ladder()[0],
                                                      foreign)
                        .ok());
        ExpectRefused(foreign, "a file of another codec");
    }
}

// A codec without checksums may decode a file with a flipped byte in its
// picture data to some other picture; what it must not do is crash or
// announce a picture of a size it does not fill.
TEST_P(CorruptFileTest, FlippedBytesAnywhereNeverCrash) {
    std::mt19937 random(7);
    for (int round = 0; round < 60; ++round) {
        std::vector<std::uint8_t> damaged = file_;
        for (int flip = 0; flip < 1 + round % 4; ++flip) {
            damaged[random() % damaged.size()] ^= static_cast<std::uint8_t>(1 + random() % 255);
        }
        RgbImage image;
        if (codec_->Decode(damaged, image).ok()) {
            EXPECT_GT(image.height, 0);
            EXPECT_GT(image.width, 0);
            EXPECT_EQ(image.red.Height(), static_cast<std::uint32_t>(image.height));
            EXPECT_EQ(image.blue.Width(), static_cast<std::uint32_t>(image.width));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllCodecs, CorruptFileTest, ::testing::ValuesIn(kAllReferenceCodecKinds),
                         [](const auto& info) { return std::string(MakeReferenceCodec(info.param)->Name()); });

}  // namespace
}  // namespace pictora
