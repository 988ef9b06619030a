#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <string>

#include "entropy/ArithmeticCoder.h"
#include "entropy/ArithmeticModel.h"
#include "entropy/BitReader.h"

namespace pictora {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct ArtFile {
    std::uint32_t precision = 0;
    std::vector<std::uint32_t> bits;
};

// Encodes `text`, checks that it decodes back, and returns the code bits.
ArtFile Encode(const std::string& text) {
    const Bytes input(text.begin(), text.end());
    Bytes file;
    EXPECT_TRUE(ArithmeticCoder().EncodeBytes(input, file));
    Bytes decoded;
    EXPECT_TRUE(ArithmeticCoder().DecodeBytes(file, decoded));
    EXPECT_EQ(decoded, input);

    ArtFile fields;
    ByteReader in(file);
    BitReader reader;
    std::vector<std::uint32_t> words;
    EXPECT_TRUE(in.Skip(4) && in.GetU32(fields.precision) && in.Skip(4 + 1024) && reader.LoadFrom(in, words));
    while (reader.BitsLeft() > 0) fields.bits.push_back(reader.GetBit());
    return fields;
}

TEST(ArithmeticCoder, MatchesHandComputedFilesByteForByte) {
    Bytes expected;
    ByteWriter out(expected);
    for (std::uint32_t header : {4, 5, 4}) out.PutU32(header);
    for (int k = 0; k < 256; ++k) out.PutU32(k <= 65 ? 0 : k == 66 ? 2 : 4);
    out.PutBytes(Bytes{0x20, 6, 0, 0, 0, 0x26, 0, 0, 0});
    Bytes file;
    ASSERT_TRUE(ArithmeticCoder().EncodeBytes(Bytes{'A', 'B', 'B', 'A'}, file));
    EXPECT_EQ(file, expected);

    EXPECT_EQ(Encode("ABBA").bits, (std::vector<std::uint32_t>{0, 1, 1, 0, 0, 1}));
    const ArtFile one = Encode("x");
    EXPECT_EQ(one.precision, 4u);
    EXPECT_EQ(one.bits, (std::vector<std::uint32_t>{0, 1}));
    const ArtFile six = Encode("AAABBC");
    EXPECT_EQ(six.precision, 5u);
    EXPECT_EQ(six.bits, (std::vector<std::uint32_t>{0, 0, 0, 1, 0, 1, 1, 1, 1, 0, 1}));
    // Total 0 gives P = 3; only the terminating bits are stored.
    const ArtFile empty = Encode("");
    EXPECT_EQ(empty.precision, 3u);
    EXPECT_EQ(empty.bits, (std::vector<std::uint32_t>{0, 1}));
}

TEST(ArithmeticModel, RefusesTotalsAndTablesThatBreakTheIntervalArithmetic) {
    ByteCounts counts{};
    counts[7] = ArithmeticModel::kMaxTotal;
    ArithmeticModel model;
    ASSERT_TRUE(model.FromCounts(counts));
    EXPECT_EQ(model.Precision(), 32u);
    counts[9] = 1;
    EXPECT_FALSE(model.FromCounts(counts));

    ArithmeticModel::Table table{};
    EXPECT_FALSE(model.FromTable(ArithmeticModel::kMaxTotal + 1, table));
    table[200] = 5;
    EXPECT_FALSE(model.FromTable(4, table));  // above the total
    table[201] = 4;
    EXPECT_FALSE(model.FromTable(9, table));  // decreasing
    table = {};
    table[0] = 1;
    EXPECT_FALSE(model.FromTable(9, table));  // not starting at 0
}

TEST(ArithmeticModel, FindsTheSameSymbolAsALinearSearch) {
    std::mt19937 random(11);
    for (int round = 0; round < 300; ++round) {
        ByteCounts counts{};
        for (int i = 0; i < 6; ++i) counts[random() % 256] += 1 + random() % (round < 150 ? 5 : 100000);
        ArithmeticModel model;
        ASSERT_TRUE(model.FromCounts(counts));
        const std::int64_t full = std::int64_t{1} << model.Precision();
        const std::int64_t low = static_cast<std::int64_t>(random() % (full / 4));
        const std::int64_t range = full / 4 + 1 + static_cast<std::int64_t>(random() % (full / 2));
        const std::int64_t value = low + static_cast<std::int64_t>(random() % range);
        unsigned linear = 0;
        while (!(model.ShareStart(linear, low, range) <= value && value < model.ShareStart(linear + 1, low, range))) {
            ++linear;
        }
        ASSERT_EQ(model.SymbolAt(low, range, value), linear) << round;
    }
}

TEST(ArithmeticCoder, RefusesHeadersThatDisagreeWithTheirBody) {
    Bytes abba;
    ASSERT_TRUE(ArithmeticCoder().EncodeBytes(Bytes{'A', 'B', 'B', 'A'}, abba));
    auto with = [&](std::size_t offset, std::uint32_t value) {
        Bytes file = abba;
        ByteWriter(file).PatchU32(offset, value);
        return file;
    };
    Bytes trailing = abba;
    trailing.push_back(0);
    Bytes halfWords = abba;
    halfWords[1036] = 16;
    Bytes twoBits = with(1037, 2);  // keeps the first two bits, 0, 1, of six
    const Bytes faulty[] = {with(4, 6), with(8, 5), with(1037, 64), trailing, halfWords, twoBits, Bytes(1035, 0)};
    for (const Bytes& file : faulty) {
        Bytes decoded;
        EXPECT_FALSE(ArithmeticCoder().DecodeBytes(file, decoded));
        EXPECT_LE(decoded.size(), 4u);
    }
}

// The counts say how many bits their bytes take at least: a header announcing a
// gigabyte of evenly spread values over two words of code is refused before
// anything is decoded or allocated. One value needs no bits at all, and its
// output grows as it is decoded.
TEST(ArithmeticCoder, RefusesCountsTheirCodeBitsCannotHold) {
    auto file = [](const std::array<std::uint32_t, 256>& counts, std::vector<std::uint32_t> words,
                   std::uint32_t bits) {
        std::uint32_t total = 0;
        Bytes bytes;
        ByteWriter out(bytes);
        for (std::uint32_t count : counts) total += count;
        ArithmeticModel model;
        EXPECT_TRUE(model.FromCounts(counts));
        for (std::uint32_t header : {total, model.Precision(), total}) out.PutU32(header);
        for (unsigned k = 0; k < 256; ++k) out.PutU32(model.Cumulative(k));
        out.PutU8(32);
        out.PutU32(bits);
        for (std::uint32_t word : words) out.PutU32(word);
        return bytes;
    };
    std::array<std::uint32_t, 256> even{};
    even.fill(1u << 22);  // 2^30 bytes, 8 bits each
    even[0] -= 2;
    Bytes decoded;
    const Status status = ArithmeticCoder().DecodeBytes(file(even, {0x12345678, 0x9ABCDEF0}, 64), decoded);
    EXPECT_FALSE(status);
    EXPECT_NE(status.message().find("64 code bits cannot hold the 1073741822 bytes"), std::string::npos)
        << status.message();
    EXPECT_EQ(decoded.capacity(), 0u);

    // Eight values once each take more than 8 * log2(8 / 2) = 16 bits.
    std::array<std::uint32_t, 256> eight{};
    for (unsigned k = 0; k < 8; ++k) eight[k * 32] = 1;
    EXPECT_NE(ArithmeticCoder().DecodeBytes(file(eight, {0}, 15), decoded).message().find("cannot hold"),
              std::string::npos);
    EXPECT_EQ(ArithmeticCoder().DecodeBytes(file(eight, {0}, 16), decoded).message().find("cannot hold"),
              std::string::npos);

    Bytes single;
    ASSERT_TRUE(ArithmeticCoder().EncodeBytes(Bytes(300000, 7), single));
    EXPECT_LT(single.size(), 1100u);
    ASSERT_TRUE(ArithmeticCoder().DecodeBytes(single, decoded));
    EXPECT_EQ(decoded, Bytes(300000, 7));
}

// Bits that decode to other byte counts than the header's are refused: of
// the 16 patterns of the four code bits of "AB", those that decode at all
// give one A and one B; the others, "AA" for bits 0000 among them, are refused.
TEST(ArithmeticCoder, RefusesBitsThatDecodeToOtherCounts) {
    Bytes ab;
    ASSERT_TRUE(ArithmeticCoder().EncodeBytes(Bytes{'A', 'B'}, ab));
    ASSERT_EQ(ab[1037], 4);
    int accepted = 0;
    for (std::uint8_t pattern = 0; pattern < 16; ++pattern) {
        Bytes file = ab;
        file[1041] = pattern;
        Bytes decoded;
        const Status status = ArithmeticCoder().DecodeBytes(file, decoded);
        if (pattern == 0) {
            EXPECT_NE(status.message().find("other byte counts"), std::string::npos) << status.message();
        }
        if (!status) continue;
        ++accepted;
        EXPECT_TRUE(decoded == Bytes({'A', 'B'}) || decoded == Bytes({'B', 'A'})) << int{pattern};
    }
    EXPECT_GE(accepted, 2);
}

}  // namespace
}  // namespace pictora
