#include "support/ByteStream.h"

#include <gtest/gtest.h>

namespace pictora {
namespace {

TEST(ByteStreamTest, WritesLittleEndianAndReadsItBack) {
    std::vector<std::uint8_t> bytes;
    ByteWriter writer(bytes);
    writer.PutU8(0xAB);
    writer.PutU32(0x01000040);
    writer.PutF64(0.5);
    writer.PatchU32(1, 0x02000040);
    ASSERT_EQ(bytes.size(), 13u);
    EXPECT_EQ(bytes[1], 0x40);
    EXPECT_EQ(bytes[4], 0x02);
    EXPECT_EQ(bytes[12], 0x3F);  // 0.5 = 0x3FE0000000000000

    ByteReader reader(bytes);
    std::uint8_t byte;
    std::uint32_t word;
    double real;
    ASSERT_TRUE(reader.GetU8(byte));
    ASSERT_TRUE(reader.GetU32(word));
    ASSERT_TRUE(reader.GetF64(real));
    EXPECT_EQ(byte, 0xAB);
    EXPECT_EQ(word, 0x02000040u);
    EXPECT_EQ(real, 0.5);
    EXPECT_EQ(reader.Remaining(), 0u);
}

TEST(ByteStreamTest, ShortReadsFailWithoutMovingTheCursor) {
    std::vector<std::uint8_t> bytes{1, 2, 3};
    ByteReader reader(bytes);
    std::uint32_t word;
    double real;
    std::span<const std::uint8_t> span;
    EXPECT_FALSE(reader.GetU32(word));
    EXPECT_FALSE(reader.GetF64(real));
    EXPECT_FALSE(reader.GetBytes(4, span));
    EXPECT_FALSE(reader.Skip(4));
    EXPECT_EQ(reader.Position(), 0u);
    EXPECT_TRUE(reader.GetBytes(3, span));
    EXPECT_EQ(span[2], 3);
    EXPECT_FALSE(reader.Seek(4));
    EXPECT_TRUE(reader.Seek(1));
    EXPECT_EQ(reader.Remaining(), 2u);
}

}  // namespace
}  // namespace pictora
