#pragma once

#include <cstdint>

#include "support/ByteStream.h"
#include "support/Status.h"

namespace pictora {

class KohonenNetwork;

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
};

// Reads and checks the 16-byte head of a section: a plane of 1 to 65535 pixels
// on each side and at most KohonenNetwork::kMaxPixels in all, d the square of a
// side no larger than the plane, and the K * d pixel bytes of the codebook
// present in what remains. The cursor moves past the head only on success.
Status ReadCodedSectionHeader(ByteReader& in, CodedSectionHeader& header);

// Appends the channel's section: its plane size, block dimension, codebook in
// pixel form and packed codes. Needs a coding pass and RefreshPixels since the
// last training.
Status WriteCodedSection(const KohonenNetwork& network, ByteWriter& out);

// Reads one section, checked whole before anything changes, replaces the
// network's codebook and codes and rebuilds the channel (no masks). A section
// without a codebook leaves the network without work arrays. The work
// planes get planeRows x planeColumns when those are larger than the
// section's plane (the half-size chroma of 4:2:0 later takes the upsampled
// image); 0 means the section's own size.
Status ReadCodedSection(ByteReader& in, KohonenNetwork& network, std::uint32_t planeRows = 0,
                        std::uint32_t planeColumns = 0);

}  // namespace pictora
