#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "entropy/BinaryRangeCoder.h"
#include "entropy/ResidualCoding.h"

namespace pictora {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A bit sequence with its context numbers, each context with its own bias.
struct Bits {
    std::vector<std::uint32_t> bits;
    std::vector<std::uint32_t> contexts;
};

Bits SampleBits(std::size_t count, std::uint32_t seed) {
    std::mt19937 random(seed);
    Bits sample;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t context = random() % 16;
        sample.contexts.push_back(context);
        sample.bits.push_back(random() % 16 < context ? 1u : 0u);  // context 0 always 0, 15 mostly 1
    }
    return sample;
}

Bytes Encode(const Bits& sample) {
    Bytes stream;
    BinaryRangeEncoder encoder(stream);
    std::vector<AdaptiveBit> contexts(16);
    for (std::size_t i = 0; i < sample.bits.size(); ++i) encoder.Code(contexts[sample.contexts[i]], sample.bits[i]);
    encoder.Finish();
    return stream;
}

// Decodes as many bits as `sample` holds; true when they and the stream's
// end match.
bool DecodesTo(const Bytes& stream, const Bits& sample) {
    BinaryRangeDecoder decoder;
    if (!decoder.Start(stream)) return false;
    std::vector<AdaptiveBit> contexts(16);
    bool same = true;
    for (std::size_t i = 0; i < sample.bits.size(); ++i)
        same &= decoder.Code(contexts[sample.contexts[i]], 0) == sample.bits[i];
    return same && decoder.Finished();
}

TEST(BinaryRangeCoder, RestoresBitsAndEndsExactlyAtTheStreamsEnd) {
    for (std::size_t count : {0u, 1u, 7u, 1000u, 200000u}) {
        const Bits sample = SampleBits(count, static_cast<std::uint32_t>(count));
        const Bytes stream = Encode(sample);
        ASSERT_GE(stream.size(), 5u);
        EXPECT_EQ(stream[0], 0);
        EXPECT_TRUE(DecodesTo(stream, sample)) << count;
        Bytes longer = stream;
        longer.push_back(0);
        EXPECT_FALSE(DecodesTo(longer, sample));
        Bytes shorter(stream.begin(), stream.end() - 1);
        EXPECT_FALSE(DecodesTo(shorter, sample));
    }
    // The contexts learn: the sample's entropy is 0.716 bits a bit.
    const Bits sample = SampleBits(200000, 1);
    EXPECT_LT(Encode(sample).size(), 200000 * 0.74 / 8);
}

TEST(BinaryRangeCoder, EvenBitsAndCarriesSurviveMixedWithLearntOnes) {
    Bytes stream;
    BinaryRangeEncoder encoder(stream);
    AdaptiveBit one;
    std::mt19937 random(5);
    std::vector<std::uint32_t> values;
    for (int i = 0; i < 50000; ++i) {
        // Long runs of a nearly certain bit push the low end towards carries.
        encoder.Code(one, 1);
        values.push_back(random() & 0xFFFFFF);
        encoder.CodeEven(values.back(), 24);
    }
    encoder.Finish();
    BinaryRangeDecoder decoder;
    ASSERT_TRUE(decoder.Start(stream));
    AdaptiveBit learnt;
    for (std::uint32_t value : values) {
        ASSERT_EQ(decoder.Code(learnt, 0), 1u);
        ASSERT_EQ(decoder.CodeEven(0, 24), value);
    }
    EXPECT_TRUE(decoder.Finished());
}

TEST(BinaryRangeCoder, NoStreamHoldsMoreBitsThanItsBoundAllows) {
    // The most probable bit, again and again, is the cheapest a bit gets.
    Bytes stream;
    BinaryRangeEncoder encoder(stream);
    AdaptiveBit certain;
    const std::uint64_t count = 10'000'000;
    for (std::uint64_t i = 0; i < count; ++i) encoder.Code(certain, 1);
    encoder.Finish();
    EXPECT_LE(count, BinaryRangeEncoder::kMaxBitsPerByte * stream.size());
}

TEST(BinaryRangeCoder, ADamagedStreamIsNoticedOrReadAsOtherBits) {
    EXPECT_FALSE(BinaryRangeDecoder().Start(Bytes{0, 1, 2, 3}));
    EXPECT_FALSE(BinaryRangeDecoder().Start(Bytes{1, 0, 0, 0, 0}));
    BinaryRangeDecoder decoder;
    ASSERT_TRUE(decoder.Start(Bytes{0, 0, 0, 0, 0}));
    for (int i = 0; i < 100; ++i) {
        AdaptiveBit even;  // each bit halves the range: 100 of them need 12 more bytes
        decoder.Code(even, 0);
    }
    EXPECT_TRUE(decoder.Overrun());
    EXPECT_FALSE(decoder.Finished());
}

TEST(ResidualCoding, EveryResidualRoundTripsAndSmallOnesCostLittle) {
    Bytes stream;
    BinaryRangeEncoder encoder(stream);
    ResidualContexts contexts;
    std::vector<int> values;
    for (int v = -128; v <= 127; ++v) values.push_back(v);
    std::mt19937 random(3);
    std::geometric_distribution<int> small(0.5);
    for (int i = 0; i < 20000; ++i) values.push_back(random() % 2 ? small(random) : -small(random));
    for (int v : values) EXPECT_EQ(CodeResidual(encoder, contexts, v), v);
    encoder.Finish();
    BinaryRangeDecoder decoder;
    ASSERT_TRUE(decoder.Start(stream));
    ResidualContexts learnt;
    for (int v : values) ASSERT_EQ(CodeResidual(decoder, learnt, 0), v);
    EXPECT_TRUE(decoder.Finished());
    EXPECT_LT(stream.size(), 20000 * 2.8 / 8);  // 2.5 bits each and what learning costs
}

}  // namespace
}  // namespace pictora
