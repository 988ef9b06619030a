#include "image/ZlibPieces.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <vector>

#include "image/DeflateBlocks.h"
#include "support/WorkerPool.h"

namespace pictora {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Runs of repeats, text-like bytes and noise, so that libdeflate writes
// stored, fixed and dynamic blocks across the pieces' boundaries.
Bytes MixedData(std::size_t size, std::mt19937& random) {
    Bytes data;
    while (data.size() < size) {
        const std::size_t run = 1 + random() % 5000;
        switch (random() % 3) {
            case 0: data.insert(data.end(), run, static_cast<std::uint8_t>(random())); break;
            case 1: for (std::size_t k = 0; k < run; ++k) data.push_back(static_cast<std::uint8_t>('a' + random() % 6)); break;
            default: for (std::size_t k = 0; k < run; ++k) data.push_back(static_cast<std::uint8_t>(random())); break;
        }
    }
    data.resize(size);
    return data;
}

Bytes Inflated(const Bytes& stream, std::size_t size) {
    Bytes out(size + 1);
    uLongf produced = out.size();
    EXPECT_EQ(uncompress(out.data(), &produced, stream.data(), static_cast<uLong>(stream.size())), Z_OK);
    out.resize(produced);
    return out;
}

// zlib inflates the joined pieces to the data, at every level, for sizes
// around the pieces', with libdeflate's stored, fixed and dynamic blocks.
TEST(ZlibPieces, ZlibInflatesTheJoinedPiecesToTheData) {
    std::mt19937 random(12);
    for (std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{1000}, kZlibPieceBytes, kZlibPieceBytes + 1,
                             2 * kZlibPieceBytes + 7}) {
        const Bytes data = MixedData(size, random);
        for (int level : {0, 1, 5, 9}) {
            SCOPED_TRACE(std::to_string(size) + " bytes, level " + std::to_string(level));
            const Bytes stream = ZlibCompress(data, level);
            EXPECT_EQ(Inflated(stream, size), data);
        }
    }
}

TEST(ZlibPieces, OneThreadWritesTheSameBytesAsAll) {
    std::mt19937 random(13);
    const Bytes data = MixedData(2 * kZlibPieceBytes + 12345, random);
    const Bytes spread = ZlibCompress(data, 5);
    Bytes serial;
    WorkerPool::Shared().Run(1, [&](unsigned, unsigned) { serial = ZlibCompress(data, 5); });
    EXPECT_EQ(serial, spread);
}

// The last block and the end of hand-made streams: a fixed block holding
// "a" then a stored one, and a lone empty stored block.
TEST(ZlibPieces, FindsTheLastBlockAndTheEnd) {
    // A fixed block, not the last: BFINAL 0 and BTYPE 1 (bits 0, 1, 0), the
    // literal 'a' (code 0x30 + 0x61 = 0x91, its 8 bits most significant
    // first), the end (7 zero bits): 18 bits. Then the last block, stored:
    // bits 1, 0, 0 at bit 18, the byte boundary, LEN 0 and NLEN, ending at
    // bit 56.
    const Bytes stream = {0x4A, 0x04, 0x04, 0x00, 0x00, 0xFF, 0xFF};
    DeflateEnds ends;
    ASSERT_TRUE(FindDeflateEnds(stream, ends));
    EXPECT_EQ(ends.lastBlock, 18u);
    EXPECT_EQ(ends.end, 56u);
    Bytes out(4);
    uLongf produced = out.size();
    z_stream z{};
    ASSERT_EQ(inflateInit2(&z, -15), Z_OK);
    z.next_in = const_cast<Bytef*>(stream.data());
    z.avail_in = static_cast<uInt>(stream.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(produced);
    EXPECT_EQ(inflate(&z, Z_FINISH), Z_STREAM_END);
    EXPECT_EQ(z.total_out, 1u);
    EXPECT_EQ(out[0], 'a');
    inflateEnd(&z);

    for (const Bytes& broken : {Bytes{0x07}, Bytes{0x01, 0x00, 0x00, 0xFF, 0xFE}, Bytes{0x4A, 0x04}}) {
        EXPECT_FALSE(FindDeflateEnds(broken, ends));  // type 3, NLEN not ~LEN, cut short
    }
}

}  // namespace
}  // namespace pictora
