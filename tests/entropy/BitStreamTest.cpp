#include <gtest/gtest.h>

#include <random>

#include "entropy/BitReader.h"
#include "entropy/BitWriter.h"

namespace pictora {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes BlockOf(const BitWriter& writer) {
    Bytes bytes;
    ByteWriter out(bytes);
    EXPECT_TRUE(writer.WriteTo(out));
    return bytes;
}

TEST(BitWriter, PacksValuesIntoTheDocumentedBlock) {
    const std::uint32_t values[] = {1, 2, 15};
    BitWriter writer;
    ASSERT_TRUE(writer.InitForValues(4, values, 3));
    EXPECT_EQ(BlockOf(writer), (Bytes{0x04, 0x0C, 0x00, 0x00, 0x00, 0x21, 0x0F, 0x00, 0x00}));

    const std::uint32_t wide[] = {0xFF, 0, 0x7};  // cut to 3 bits; 0 still takes 3
    ASSERT_TRUE(writer.InitForValues(3, wide, 3));
    EXPECT_EQ(writer.TotalBits(), 9u);
    EXPECT_EQ(writer.Words()[0], 0x7u | (0x7u << 6));
    EXPECT_FALSE(writer.InitForValues(33, wide, 3));

    ASSERT_TRUE(writer.InitEmpty(7, 4));
    EXPECT_EQ(BlockOf(writer), (Bytes{0x07, 0, 0, 0, 0}));
}

TEST(BitWriter, OpensASecondWordOnlyForThe33rdBit) {
    BitWriter writer;
    ASSERT_TRUE(writer.InitEmpty(32, 0));
    for (int i = 0; i < 32; ++i) writer.PutBit(1);
    EXPECT_EQ(BlockOf(writer), (Bytes{32, 32, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}));
    writer.PutBit(1);
    EXPECT_EQ(writer.TotalBits(), 33u);
    EXPECT_EQ(writer.Words().size(), 2u);
    EXPECT_EQ(writer.Words().back(), 1u);
}

TEST(BitReader, ReadsBackValuesOfEveryWidth) {
    std::mt19937 random(7);
    for (std::uint8_t width = 1; width <= 32; ++width) {
        std::vector<std::uint32_t> values(50);
        for (std::uint32_t& value : values) value = static_cast<std::uint32_t>(random());
        BitWriter writer;
        ASSERT_TRUE(writer.InitForValues(width, values.data(), values.size()));
        Bytes block = BlockOf(writer);
        block.push_back(0xAB);  // whatever follows the block stays unread

        ByteReader in(block);
        BitReader reader;
        std::vector<std::uint32_t> loaded;
        ASSERT_TRUE(reader.LoadFrom(in, loaded));
        EXPECT_EQ(in.Remaining(), 1u);
        ASSERT_EQ(loaded.size(), values.size());
        const std::uint32_t mask = width == 32 ? ~0u : (1u << width) - 1;
        for (std::size_t i = 0; i < values.size(); ++i) ASSERT_EQ(loaded[i], values[i] & mask) << int{width};
        // The loaded words can be read again bit by bit from stream bit 0.
        EXPECT_EQ(reader.GetBit(), values[0] & 1);
    }

    const Bytes twelveBits = {5, 12, 0, 0, 0, 0x21, 0x0F, 0, 0};  // two 5-bit values, 2 bits spare
    ByteReader in(twelveBits);
    BitReader reader;
    std::vector<std::uint32_t> values;
    ASSERT_TRUE(reader.LoadFrom(in, values));
    EXPECT_EQ(values, (std::vector<std::uint32_t>{0x01, 0x19}));
}

TEST(BitReader, RefusesBlocksItCannotTrust) {
    const Bytes faulty[] = {
        {33, 32, 0, 0, 0, 1, 2, 3, 4},  // width above 32
        {0, 1, 0, 0, 0, 1, 0, 0, 0},    // width 0 with bits
        {8, 33, 0, 0, 0, 1, 2, 3, 4},   // second word missing
        {8, 0xFF, 0xFF, 0xFF, 0xFF},    // 2^32 - 1 bits announced, none present
        {8, 1, 0},                      // header cut short
    };
    for (const Bytes& block : faulty) {
        ByteReader in(block);
        BitReader reader;
        std::vector<std::uint32_t> values = {42};
        EXPECT_FALSE(reader.LoadFrom(in, values));
        EXPECT_EQ(in.Position(), 0u);
        EXPECT_EQ(values, std::vector<std::uint32_t>{42});
    }
    const Bytes emptyChannel = {0, 0, 0, 0, 0};
    ByteReader in(emptyChannel);
    BitReader reader;
    std::vector<std::uint32_t> values = {42};
    ASSERT_TRUE(reader.LoadFrom(in, values));
    EXPECT_TRUE(values.empty());
}

TEST(BitReader, ReadsZeroAndFlagsAnOverrunPastTheLastBit) {
    const Bytes block = {1, 3, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF};
    ByteReader in(block);
    BitReader reader;
    std::vector<std::uint32_t> values;
    ASSERT_TRUE(reader.LoadFrom(in, values));
    EXPECT_EQ(reader.GetBits(3), 7u);
    EXPECT_FALSE(reader.Overrun());
    EXPECT_EQ(reader.GetBit(), 0u);
    EXPECT_TRUE(reader.Overrun());
    reader.Rewind();
    EXPECT_EQ(reader.GetBits(4), 0u);  // one bit too many
    EXPECT_TRUE(reader.Overrun());
}

}  // namespace
}  // namespace pictora
