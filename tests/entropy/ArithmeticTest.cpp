#include <gtest/gtest.h>

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

}  // namespace
}  // namespace pictora
