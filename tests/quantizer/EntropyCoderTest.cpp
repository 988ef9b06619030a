#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "common/TempFolder.h"
#include "entropy/ArithmeticCoder.h"
#include "quantizer/EntropyCoderSlot.h"
#include "entropy/HuffmanCoder.h"
#include "support/ByteStream.h"
#include "support/FileIO.h"

namespace pictora {
namespace {

using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

// Uniform bytes, or geometrically falling frequencies (about 4.1 bits of
// entropy per byte) like the block indices of a coded image.
Bytes SampleBytes(std::size_t size, std::uint32_t seed, bool skewed) {
    std::mt19937 random(seed);
    std::geometric_distribution<int> geometric(0.15);
    Bytes bytes(size);
    for (std::uint8_t& byte : bytes) byte = static_cast<std::uint8_t>(skewed ? geometric(random) : random());
    return bytes;
}

TEST(EntropyCoderSlot, CreatesACoderOnlyForHuffmanAndArithmetic) {
    EntropyCoderSlot slot;
    ASSERT_TRUE(slot.CreateEntropyCoder(LosslessMode::Huffman));
    EXPECT_NE(dynamic_cast<HuffmanCoder*>(slot.Coder()), nullptr);
    ASSERT_TRUE(slot.CreateEntropyCoder(LosslessMode::Arithmetic));
    EXPECT_NE(dynamic_cast<ArithmeticCoder*>(slot.Coder()), nullptr);
    EXPECT_FALSE(slot.CreateEntropyCoder(LosslessMode::None));
    EXPECT_EQ(slot.Coder(), nullptr);
}

class EntropyRoundTrip : public ::testing::TestWithParam<LosslessMode> {
protected:
    Bytes RoundTrip(const Bytes& input) {
        Bytes coded;
        EXPECT_TRUE(EncodeBytesWith(GetParam(), input, coded));
        Bytes decoded;
        EXPECT_TRUE(DecodeBytesWith(GetParam(), coded, decoded));
        EXPECT_EQ(decoded, input);
        return coded;
    }

    // The output length a coded file's header announces: the sum of the
    // Huffman counts, or the arithmetic input length.
    std::uint64_t AnnouncedLength(const Bytes& coded) {
        ByteReader in(coded);
        std::uint32_t value = 0;
        std::uint64_t sum = 0;
        in.Skip(8);
        while (in.Position() < (GetParam() == LosslessMode::Huffman ? 1032u : 12u) && in.GetU32(value)) sum += value;
        return sum;
    }

    fs::path FreshDir() const { return folder_.File(""); }

    testing::TempFolder folder_;
};

TEST_P(EntropyRoundTrip, RestoresRandomSkewedAndDegenerateInputs) {
    for (std::size_t size : {1u, 2u, 31u, 1000u, 100000u}) {
        RoundTrip(SampleBytes(size, 3, false));
        const Bytes coded = RoundTrip(SampleBytes(size, 5, true));
        EXPECT_LE(coded.size(), 1045 + size * 55 / 100);
    }
    RoundTrip(Bytes(8256, 0xC3));
    Bytes everyValue(256);
    for (int k = 0; k < 256; ++k) everyValue[k] = static_cast<std::uint8_t>(255 - k);
    RoundTrip(everyValue);
}

TEST_P(EntropyRoundTrip, RestoresEveryDataFileThroughTheFileInterface) {
    const fs::path dir = FreshDir();
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(PICTORA_TEST_DATA_DIR)) {
        if (!entry.is_regular_file()) continue;
        ++files;
        ASSERT_TRUE(EncodeFileWith(GetParam(), entry.path(), dir / "coded"));
        ASSERT_TRUE(DecodeFileWith(GetParam(), dir / "coded", dir / "decoded"));
        Bytes original, decoded;
        ASSERT_TRUE(ReadWholeFile(entry.path(), original));
        ASSERT_TRUE(ReadWholeFile(dir / "decoded", decoded));
        EXPECT_EQ(decoded, original) << entry.path();
    }
    EXPECT_GE(files, 5);
}

TEST_P(EntropyRoundTrip, ReportsUnopenableInputsAndUnwritableOutputs) {
    const fs::path dir = FreshDir();
    const Status missing = EncodeFileWith(GetParam(), dir / "absent", dir / "out");
    EXPECT_FALSE(missing);
    EXPECT_NE(missing.message().find("absent"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "out"));

    ASSERT_TRUE(WriteFileAtomically(dir / "in", Bytes{1, 2, 3}));
    EXPECT_FALSE(EncodeFileWith(GetParam(), dir / "in", dir / "no-such-dir" / "out"));
    // A damaged input leaves an existing output untouched.
    ASSERT_TRUE(WriteFileAtomically(dir / "out", Bytes{9}));
    EXPECT_FALSE(DecodeFileWith(GetParam(), dir / "in", dir / "out"));
    EXPECT_EQ(FileSize(dir / "out"), 1);
}

TEST_P(EntropyRoundTrip, SurvivesTruncatedFlippedAndRandomInputs) {
    const Bytes coded = RoundTrip(SampleBytes(3000, 9, true));
    std::mt19937 random(13);
    std::vector<Bytes> damaged;
    for (std::size_t size = 0; size < coded.size(); size += 1 + size / 8) {
        damaged.emplace_back(coded.begin(), coded.begin() + static_cast<std::ptrdiff_t>(size));
    }
    for (int flips = 0; flips < 400; ++flips) {
        Bytes file = coded;
        const std::size_t bit = random() % (file.size() * 8);
        file[bit / 8] ^= static_cast<std::uint8_t>(1u << (bit % 8));
        damaged.push_back(file);
    }
    for (std::size_t size : {0u, 7u, 1031u, 1036u, 1045u, 5000u}) damaged.push_back(SampleBytes(size, size, false));

    int accepted = 0;
    for (const Bytes& file : damaged) {
        Bytes decoded;
        if (!DecodeBytesWith(GetParam(), file, decoded)) continue;
        ++accepted;
        EXPECT_EQ(decoded.size(), AnnouncedLength(file));
    }
    EXPECT_LT(accepted, static_cast<int>(damaged.size()) / 2);
}

INSTANTIATE_TEST_SUITE_P(BothCoders, EntropyRoundTrip,
                         ::testing::Values(LosslessMode::Huffman, LosslessMode::Arithmetic),
                         [](const auto& info) { return info.param == LosslessMode::Huffman ? "Huffman" : "Arithmetic"; });

}  // namespace
}  // namespace pictora
