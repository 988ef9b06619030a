#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <string>
#include <vector>

#include "quantizer/CodedImageLayout.h"
#include "quantizer/ContextualCoder.h"
#include "support/ByteStream.h"

namespace pictora {
namespace {

using Bytes = std::vector<std::uint8_t>;

// One section of a made-up coded image: its plane, block side and K, and
// what a reader tolerates beyond what the program writes.
struct SectionShape {
    std::uint32_t columns = 0, rows = 0, side = 1, neurons = 0;
    std::uint8_t topByte = 0;     // of the first word; channel 0's is the colour code
    bool tailEntries = false;     // entries after the full blocks that are not 0
    bool spareBits = false;       // bits after the index block's N bits that are not 0
    bool flatCodebook = false;    // every pixel 0 (cheap to code, for the largest K)
};

// A coded image with smooth neuron pictures and indices that repeat their
// neighbours, take new neurons in order or jump, written by the layout's one
// writer.
Bytes MakeCodedImage(const std::array<SectionShape, 3>& shapes, std::uint32_t seed) {
    std::mt19937 random(seed);
    CodedImageLayout layout;
    std::array<Bytes, 3> codebooks;
    for (std::size_t c = 0; c < 3; ++c) {
        const SectionShape& shape = shapes[c];
        CodedSectionLayout& section = layout.sections[c];
        CodedSectionHeader& header = section.header;
        header.columns = shape.columns;
        header.rows = shape.rows;
        header.dimension = shape.side * shape.side;
        header.neuronCount = shape.neurons;
        header.colourCode = shape.topByte;
        Bytes& codebook = codebooks[c];
        codebook.resize(static_cast<std::size_t>(shape.neurons) * header.dimension);
        for (std::size_t k = 0; k < codebook.size() && !shape.flatCodebook; ++k)
            codebook[k] = static_cast<std::uint8_t>(120 + 60 * std::sin(0.05 * static_cast<double>(k)) + random() % 9);
        section.codebook = codebook;
        section.entries.assign(shape.neurons == 0 ? 0 : header.Entries(), 0);
        std::uint32_t next = 0;
        const std::uint64_t full = header.FullBlocks();
        for (std::uint64_t b = 0; b < full; ++b) {
            const std::uint32_t roll = random() % 8;
            std::uint32_t& entry = section.entries[b];
            if (roll < 3 && b > 0) entry = section.entries[b - 1];
            else if (roll < 6) entry = next < shape.neurons ? next++ : 0;
            else entry = static_cast<std::uint32_t>(random() % shape.neurons);
        }
        if (shape.tailEntries)
            for (std::size_t e = full; e < section.entries.size(); ++e)
                section.entries[e] = static_cast<std::uint32_t>(random()) & ((1u << header.Width()) - 1);
        if (shape.spareBits) {
            const auto used = static_cast<std::uint32_t>(header.Width() * section.entries.size() % 32);
            EXPECT_NE(used, 0u) << "no spare bits in this shape";
            section.spareBits = used == 0 ? 0 : 1u + random() % ((1u << (32 - used)) - 1);
        }
    }
    Bytes bytes;
    EXPECT_TRUE(WriteCodedImageLayout(layout, bytes));
    CodedImageLayout check;
    EXPECT_TRUE(ReadCodedImageLayout(bytes, check)) << "not a coded image the decoder accepts";
    return bytes;
}

Bytes RoundTrip(const Bytes& coded) {
    Bytes packed, unpacked;
    EXPECT_TRUE(ContextualCoder().EncodeBytes(coded, packed));
    const Status decoded = ContextualCoder().DecodeBytes(packed, unpacked);
    EXPECT_TRUE(decoded) << decoded.message();
    EXPECT_TRUE(unpacked == coded);
    return packed;
}

SectionShape Plane(std::uint32_t columns, std::uint32_t rows, std::uint32_t side, std::uint32_t neurons,
                   std::uint8_t topByte = 0) {
    SectionShape shape;
    shape.columns = columns;
    shape.rows = rows;
    shape.side = side;
    shape.neurons = neurons;
    shape.topByte = topByte;
    return shape;
}

TEST(ContextualCoder, RestoresCodedImagesOfEveryColourSpaceAndBlockSize) {
    for (std::uint8_t colour : {0, 1, 2}) {
        const bool half = colour == 2;
        for (std::uint32_t side : {1u, 2u, 3u, 4u, 8u, 12u}) {
            const std::uint32_t columns = 61, rows = 37;
            const SectionShape chroma = Plane(half ? columns / 2 : columns, half ? rows / 2 : rows, std::min(side, 8u), 23);
            const Bytes coded = MakeCodedImage({Plane(columns, rows, side, 40, colour), chroma, chroma}, side + colour);
            const Bytes packed = RoundTrip(coded);
            EXPECT_EQ(packed[0], 0x89);
            EXPECT_EQ(std::string(packed.begin() + 1, packed.begin() + 4), "MQZ");
            EXPECT_EQ(packed[4], 1);
        }
    }
}

TEST(ContextualCoder, RestoresEmptyAndOneNeuronChannelsAndTheSmallestPlanes) {
    // K = 0 chroma with any block that fits channel 0's plane; K = 1 everywhere.
    RoundTrip(MakeCodedImage({Plane(20, 9, 3, 5, 0), Plane(20, 9, 4, 0), Plane(20, 9, 1, 0)}, 1));
    RoundTrip(MakeCodedImage({Plane(20, 9, 3, 1, 1), Plane(20, 9, 3, 1), Plane(20, 9, 2, 1)}, 2));
    // 1 x 1: the chroma of 4:2:0 has no pixel at all.
    RoundTrip(MakeCodedImage({Plane(1, 1, 1, 1, 1), Plane(1, 1, 1, 1), Plane(1, 1, 1, 1)}, 3));
    RoundTrip(MakeCodedImage({Plane(1, 1, 1, 1, 2), Plane(0, 0, 1, 0), Plane(0, 0, 1, 0)}, 4));
    // The widest and the tallest planes.
    RoundTrip(MakeCodedImage({Plane(65535, 1, 1, 300, 1), Plane(65535, 1, 1, 2), Plane(65535, 1, 1, 0)}, 5));
    RoundTrip(MakeCodedImage({Plane(3, 65535, 3, 70, 2), Plane(1, 32767, 1, 9), Plane(1, 32767, 1, 1)}, 6));
}

TEST(ContextualCoder, RestoresTheLargestCodebook) {
    SectionShape largest = Plane(2, 2, 1, 0xFFFFFF, 1);
    largest.flatCodebook = true;
    RoundTrip(MakeCodedImage({largest, Plane(2, 2, 1, 1), Plane(2, 2, 1, 1)}, 7));
}

TEST(ContextualCoder, RestoresWhatReadersTolerateAndOnlyThenPaysForIt) {
    const std::array<SectionShape, 3> plain = {Plane(30, 22, 4, 20, 1), Plane(30, 22, 4, 7), Plane(30, 22, 4, 9)};
    const std::size_t plainSize = RoundTrip(MakeCodedImage(plain, 8)).size();
    std::array<SectionShape, 3> odd = plain;
    odd[0].topByte = 0xA7;  // a colour code no program writes: decoded as RGB
    odd[1].topByte = 0x80;
    odd[2].topByte = 0x01;
    for (SectionShape& shape : odd) shape.tailEntries = shape.spareBits = true;
    const std::size_t oddSize = RoundTrip(MakeCodedImage(odd, 8)).size();
    EXPECT_GT(oddSize, plainSize);
    // 4:2:0 at odd sizes, with spare bits in channel 0 only.
    std::array<SectionShape, 3> half = {Plane(33, 17, 2, 50, 2), Plane(16, 8, 2, 6), Plane(16, 8, 2, 4)};
    half[0].spareBits = true;
    RoundTrip(MakeCodedImage(half, 9));
}

TEST(ContextualCoder, CodesOnlyWhatTheCodedImageReaderAccepts) {
    const Bytes coded = MakeCodedImage({Plane(16, 16, 4, 9, 1), Plane(16, 16, 4, 3), Plane(16, 16, 4, 3)}, 10);
    Bytes packed;
    for (const Bytes& wrong : {Bytes{}, Bytes(coded.begin(), coded.end() - 1), Bytes{1, 2, 3}}) {
        const Status status = ContextualCoder().EncodeBytes(wrong, packed);
        EXPECT_FALSE(status);
        EXPECT_NE(status.message().find("the contextual stage codes only coded images"), std::string::npos);
    }
    Bytes longer = coded;
    longer.push_back(0);
    EXPECT_FALSE(ContextualCoder().EncodeBytes(longer, packed));
}

// Random changes of a coded image: whatever the coded-image reader accepts
// comes back byte for byte; what it refuses, the stage refuses.
TEST(ContextualCoder, MutatedCodedImagesRoundTripExactlyWhenAccepted) {
    const Bytes coded = MakeCodedImage({Plane(24, 20, 4, 12, 1), Plane(24, 20, 2, 30), Plane(24, 20, 3, 0)}, 11);
    std::mt19937 random(12);
    int accepted = 0;
    for (int trial = 0; trial < 3000; ++trial) {
        Bytes mutated = coded;
        const int changes = 1 + static_cast<int>(random() % 3);
        for (int c = 0; c < changes; ++c) {
            // Mostly in the heads and the index blocks, where the rules are.
            const std::size_t at = random() % 4 == 0 ? random() % mutated.size() : random() % 40;
            mutated[std::min(at, mutated.size() - 1)] ^= static_cast<std::uint8_t>(1u << (random() % 8));
        }
        CodedImageLayout layout;
        Bytes packed, unpacked;
        if (!ReadCodedImageLayout(mutated, layout)) {
            EXPECT_FALSE(ContextualCoder().EncodeBytes(mutated, packed));
            continue;
        }
        ++accepted;
        ASSERT_TRUE(ContextualCoder().EncodeBytes(mutated, packed));
        ASSERT_TRUE(ContextualCoder().DecodeBytes(packed, unpacked));
        ASSERT_TRUE(unpacked == mutated) << trial;
    }
    EXPECT_GT(accepted, 300);
}

TEST(ContextualCoder, RefusesEveryDamagedFile) {
    const Bytes coded = MakeCodedImage({Plane(40, 24, 4, 30, 1), Plane(40, 24, 4, 11), Plane(40, 24, 4, 17)}, 13);
    const Bytes packed = RoundTrip(coded);
    std::vector<Bytes> damaged;
    for (std::size_t length = 0; length < packed.size(); ++length)
        damaged.emplace_back(packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(length));
    Bytes longer = packed;
    longer.push_back(0);
    damaged.push_back(longer);
    for (std::size_t bit = 0; bit < packed.size() * 8; bit += 3) {
        Bytes flipped = packed;
        flipped[bit / 8] ^= static_cast<std::uint8_t>(1u << (bit % 8));
        damaged.push_back(flipped);
    }
    for (const Bytes& file : damaged) {
        Bytes out = {7};
        const Status status = ContextualCoder().DecodeBytes(file, out);
        EXPECT_FALSE(status) << &file - damaged.data() << " of " << damaged.size() << " (" << packed.size() << " bytes)";
        EXPECT_EQ(status.kind(), ErrorKind::DamagedFile);
        EXPECT_FALSE(status.message().empty());
    }
}

TEST(ContextualCoder, RefusesHeadsTheirStreamCannotJustifyBeforeAllocating) {
    // A head that claims the largest K of the largest blocks, with a few bytes of stream.
    Bytes file = {0x89, 'M', 'Q', 'Z', 1};
    ByteWriter out(file);
    out.PutU32(0);
    out.PutU32(16384 | 1u << 24);
    out.PutU32(16384);
    for (int c = 0; c < 3; ++c) {
        out.PutU32(c == 0 ? 16384u * 16384u : 1);
        out.PutU32(c == 0 ? 0xFFFFFF : 0);
        out.PutU8(0);
    }
    for (int i = 0; i < 64; ++i) out.PutU8(0);
    const auto start = std::chrono::steady_clock::now();
    Bytes decoded;
    const Status status = ContextualCoder().DecodeBytes(file, decoded);
    EXPECT_FALSE(status);
    EXPECT_NE(status.message().find("cannot hold"), std::string::npos) << status.message();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));

    // Not this format at all, or a later version of it.
    Bytes other = RoundTrip(MakeCodedImage({Plane(8, 8, 2, 3, 1), Plane(8, 8, 2, 1), Plane(8, 8, 2, 1)}, 14));
    other[4] = 2;
    EXPECT_NE(ContextualCoder().DecodeBytes(other, decoded).message().find("version 2"), std::string::npos);
    other[1] = 'X';
    EXPECT_NE(ContextualCoder().DecodeBytes(other, decoded).message().find("signature"), std::string::npos);
}

TEST(ContextualCoder, CountsTheBytesOfEachPart) {
    const Bytes packed =
        RoundTrip(MakeCodedImage({Plane(64, 48, 4, 60, 1), Plane(64, 48, 4, 25), Plane(64, 48, 4, 0)}, 15));
    ContextualParts parts;
    ASSERT_TRUE(MeasureContextualParts(packed, parts));
    EXPECT_EQ(parts.headBytes, 44u);
    double sum = static_cast<double>(parts.headBytes);
    for (int c = 0; c < 3; ++c) sum += parts.indexBytes[c] + parts.codebookBytes[c] + parts.restBytes[c];
    EXPECT_NEAR(sum, static_cast<double>(packed.size()), 8.0);  // the stream's own few bytes
    EXPECT_GT(parts.codebookBytes[0], parts.codebookBytes[1]);
    EXPECT_EQ(parts.indexBytes[2] + parts.codebookBytes[2], 0.0);
}

}  // namespace
}  // namespace pictora
