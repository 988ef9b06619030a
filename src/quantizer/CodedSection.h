#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "support/ByteStream.h"
#include "support/Status.h"

namespace pictora {

// The fixed head of one channel section of a coded-image (.mqc) file.
struct CodedSectionHeader {
    std::uint32_t columns = 0;     // low 24 bits of the first word
    std::uint8_t colourCode = 0;   // top byte of the first word (meaningful in channel 0's section)
    std::uint32_t rows = 0;
    std::uint32_t dimension = 0;   // pixels per block, d = n * n
    std::uint32_t neuronCount = 0; // K
    std::uint32_t Side() const;
    // Index entries of the section: rows * columns / d, edge remainders included.
    std::uint64_t Entries() const;
    // Bits of each index entry: the bit length of K.
    std::uint32_t Width() const;
    // Full blocks per block row and per block column (0 for an empty channel),
    // and their product: the entries that code a block, in raster order.
    std::uint32_t BlockColumns() const;
    std::uint32_t BlockRows() const;
    std::uint64_t FullBlocks() const;
};

// One section as it lies in the file: the head, the K * d codebook bytes,
// every entry of the index block (the full blocks' first, then the entries
// that stand for no block) and the bits of the block's last word beyond its
// N bits (0 as written here, but a reader does not insist).
struct CodedSectionLayout {
    CodedSectionHeader header;
    std::span<const std::uint8_t> codebook;
    std::vector<std::uint32_t> entries;
    std::uint32_t spareBits = 0;
};

// Checks the fields of a section's head: a plane of 1 to 65535 pixels on each
// side (0 allowed for an empty channel), d the square of a side no larger than
// the plane, K below 2^24, and an index block whose bit count fits 32 bits.
Status CheckCodedSectionHead(const CodedSectionHeader& header);

// Reads and checks the 16-byte head of a section (CheckCodedSectionHead) and
// that the K * d pixel bytes of the codebook are present in what remains. The cursor moves past
// the head only on success.
Status ReadCodedSectionHeader(ByteReader& in, CodedSectionHeader& header);

// Reads one whole section and checks it: its head, an index block of width
// bit-length(K) holding rows * columns / d entries, and every full block's
// entry below K. `section.codebook` points into the reader's bytes. On
// failure the cursor and `section` are unchanged.
Status ReadCodedSectionLayout(ByteReader& in, CodedSectionLayout& section);

// Appends the section's bytes: the one writer of the layout, so a section
// read and written again gives the bytes it was read from.
Status WriteCodedSectionLayout(const CodedSectionLayout& section, ByteWriter& out);

}  // namespace pictora
