#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "entropy/HuffmanCoder.h"
#include "entropy/HuffmanDecoder.h"
#include "entropy/HuffmanTree.h"
#include "support/ByteStream.h"

namespace pictora {
namespace {

using Bytes = std::vector<std::uint8_t>;

ByteCounts CountsOf(const std::string& text) {
    ByteCounts counts{};
    for (char c : text) ++counts[static_cast<std::uint8_t>(c)];
    return counts;
}

// The .huf file with these fields.
Bytes HufFile(std::uint32_t words, std::uint32_t bits, const ByteCounts& counts, std::vector<std::uint32_t> code) {
    Bytes file;
    ByteWriter out(file);
    out.PutU32(words);
    out.PutU32(bits);
    for (std::uint32_t count : counts) out.PutU32(count);
    for (std::uint32_t word : code) out.PutU32(word);
    return file;
}

// Encodes `input`, checks that it decodes back, and returns the file.
Bytes Encode(const Bytes& input) {
    Bytes file;
    EXPECT_TRUE(HuffmanCoder().EncodeBytes(input, file));
    Bytes decoded;
    EXPECT_TRUE(HuffmanCoder().DecodeBytes(file, decoded));
    EXPECT_EQ(decoded, input);
    return file;
}

Bytes BytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

TEST(HuffmanCoder, MatchesHandComputedFilesByteForByte) {
    EXPECT_EQ(Encode(BytesOf("AAABBC")), HufFile(1, 9, CountsOf("AAABBC"), {0x1A8}));
    EXPECT_EQ(Encode(BytesOf("ABCD")), HufFile(1, 8, CountsOf("ABCD"), {0x8D}));
    const HuffmanTree tree(CountsOf("ABCD"));
    EXPECT_EQ(tree.Code('A'), 0b01u);  // stream bits 1, 0
    EXPECT_EQ(tree.Code('B'), 0b11u);
    EXPECT_EQ(tree.Code('C'), 0b00u);
    EXPECT_EQ(tree.Code('D'), 0b10u);
}

TEST(HuffmanCoder, StoresOneRepeatedByteAndTheEmptyInputAsCountsAlone) {
    EXPECT_EQ(Encode(Bytes(1000, 'Z')), HufFile(0, 0, CountsOf(std::string(1000, 'Z')), {}));
    EXPECT_EQ(Encode(Bytes{}), HufFile(0, 0, ByteCounts{}, {}));
}

// Without code bits a file justifies no length: one value is taken 8 times per
// byte of the 1032-byte header at most, by both sides. A 1 KiB file that
// announces a gigabyte is refused before anything is allocated.
TEST(HuffmanCoder, OneValueWithoutCodeBitsIsLimitedToEightBytesPerHeaderByte) {
    Encode(Bytes(8256, 'Z'));
    Bytes file;
    const Status longer = HuffmanCoder().EncodeBytes(Bytes(8257, 'Z'), file);
    EXPECT_FALSE(longer);
    EXPECT_NE(longer.message().find("8256"), std::string::npos) << longer.message();

    for (std::uint32_t announced : {8257u, 1u << 30, UINT32_MAX}) {
        ByteCounts counts{};
        counts['Z'] = announced;
        Bytes decoded;
        const Status status = HuffmanCoder().DecodeBytes(HufFile(0, 0, counts, {}), decoded);
        EXPECT_FALSE(status) << announced;
        EXPECT_NE(status.message().find(std::to_string(announced) + " bytes of one value"), std::string::npos)
            << status.message();
        EXPECT_EQ(decoded.capacity(), 0u);
    }
}

// Two values or more: every byte takes a code bit at least, so a file decodes
// to a byte per code bit at most; counts that announce more are refused
// before anything is allocated.
TEST(HuffmanCoder, TwoValuesOrMoreTakeAtLeastABitAByte) {
    Bytes input(300000, 'A');
    for (std::size_t i = 0; i < input.size(); i += 7) input[i] = 'B';
    Bytes file;
    ASSERT_TRUE(HuffmanCoder().EncodeBytes(input, file));
    EXPECT_EQ(file.size(), 1032 + 4 * ((input.size() + 31) / 32));  // one bit a byte
    Bytes decoded;
    ASSERT_TRUE(HuffmanCoder().DecodeBytes(file, decoded));
    EXPECT_EQ(decoded, input);

    // The counts of a damaged file announce 2^31 bytes in as many bits, but
    // the file holds 64 of them.
    ByteCounts counts{};
    counts['A'] = counts['B'] = 1u << 30;
    std::vector<std::uint32_t> code = {0x5555, 0x5555};
    Bytes damaged;
    EXPECT_FALSE(HuffmanCoder().DecodeBytes(HufFile(2, 64, counts, code), damaged));
    EXPECT_EQ(damaged.capacity(), 0u);
}

// Fibonacci counts (capped at 2^32 - 1) give the deepest trees.
TEST(HuffmanTree, HoldsCodesBeyond32BitsAndNeverBeyond64) {
    ByteCounts counts{};
    std::uint64_t current = 1;
    std::uint64_t next = 1;
    for (std::uint32_t& count : counts) {
        count = static_cast<std::uint32_t>(current);
        const std::uint64_t sum = std::min<std::uint64_t>(current + next, UINT32_MAX);
        current = next;
        next = sum;
    }
    const HuffmanTree deepest(counts);
    unsigned longest = 0;
    for (unsigned symbol = 0; symbol < 256; ++symbol) longest = std::max<unsigned>(longest, deepest.CodeLength(symbol));
    EXPECT_GT(longest, 32u);
    EXPECT_LE(longest, 57u);

    std::fill(counts.begin() + 40, counts.end(), 0);
    const HuffmanTree tree(counts);
    EXPECT_EQ(tree.CodeLength(0), 39);
    Bytes message;
    for (unsigned i = 0; i < 120; ++i) message.push_back(static_cast<std::uint8_t>(i % 40));
    BitWriter writer;
    ASSERT_TRUE(writer.InitEmpty(32, 0));
    for (std::uint8_t byte : message) tree.AppendCode(byte, writer);
    Bytes decoded;
    ASSERT_TRUE(HuffmanDecoder(tree).Decode(writer.Words(), writer.TotalBits(), message.size(), decoded));
    EXPECT_EQ(decoded, message);
}

TEST(HuffmanCoder, RefusesHeadersThatDisagreeWithTheirBody) {
    const ByteCounts counts = CountsOf("AAABBC");
    ByteCounts huge{};
    huge[1] = huge[2] = UINT32_MAX;
    const Bytes faulty[] = {
        HufFile(2, 9, counts, {0x1A8}),     // word missing
        HufFile(1, 9, counts, {0x1A8, 0}),  // a word too many
        HufFile(1, 10, counts, {0x1A8}),    // bits disagree with the counts
        HufFile(1, 33, counts, {0x1A8}),    // words disagree with the bits
        HufFile(0, 0, huge, {}),            // more than 2^32 bytes
        Bytes(1031, 0),                     // header cut short
    };
    for (const Bytes& file : faulty) {
        Bytes decoded;
        EXPECT_FALSE(HuffmanCoder().DecodeBytes(file, decoded));
    }
}

}  // namespace
}  // namespace pictora
