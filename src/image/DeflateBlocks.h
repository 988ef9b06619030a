#pragma once

#include <cstdint>
#include <span>

namespace pictora {

// The deflate format (RFC 1951) as far as finding a stream's blocks needs it.
// Bits are read from each byte's least significant bit up. A block starts
// with BFINAL (1 bit: the stream's last block) and BTYPE (2 bits):
//   0 stored: to the next byte boundary, u16 LEN, u16 NLEN = ~LEN, LEN bytes
//   1 fixed Huffman codes, 2 dynamic ones: 5 bits HLIT - 257, 5 bits
//     HDIST - 1, 4 bits HCLEN - 4, HCLEN 3-bit lengths of the code-length
//     code, the HLIT + HDIST code lengths in that code (16 repeats the last
//     length 3-6 times, 17 and 18 give 3-10 and 11-138 zeros); then symbols:
//     literals 0-255, 256 the block's end, 257-285 a length with extra bits
//     followed by a distance symbol 0-29 with extra bits.
//   3 is not a block type.

// Where the last block of a deflate stream starts, and where the stream
// ends (after the last block's end symbol), in bits from the first byte.
struct DeflateEnds {
    std::uint64_t lastBlock = 0;
    std::uint64_t end = 0;
};

// Walks the blocks of the deflate stream at the start of `stream`, decoding
// every symbol, to its last block. False when the bytes are not a whole
// deflate stream.
bool FindDeflateEnds(std::span<const std::uint8_t> stream, DeflateEnds& ends);

}  // namespace pictora
