#pragma once

#include <cstdint>

#include "support/ByteStream.h"
#include "support/Status.h"

namespace pictora {

class KohonenNetwork;

// The fixed head of one section of a codebook (.cod) file.
struct CodebookSectionHeader {
    std::uint32_t neuronCount = 0;  // K, the low 24 bits of the first word
    std::uint8_t colourCode = 0;    // the top byte of the first word
    std::uint32_t dimension = 0;    // pixels per block, d = n * n
    // Bytes of the whole section: 8 + 8 * K * (d + 1).
    std::uint64_t Size() const;
};

// Reads and checks the 8-byte head of a section: d the square of a side of at
// least 1, and all K * (d + 1) weights present in what remains. The cursor
// moves past the head only on success.
Status ReadCodebookSectionHeader(ByteReader& in, CodebookSectionHeader& header);

// Moves the cursor past one whole, checked section.
Status SkipCodebookSection(ByteReader& in);

// Appends one section with the neurons' full-precision weights and the
// colour-space byte.
Status WriteCodebookSection(const KohonenNetwork& network, ByteWriter& out, std::uint8_t colourCode);

// Reads one checked section into the network at its current plane size and
// source, replacing its neurons; `colourCode` gets the section's colour-space
// byte. Pixels are computed later, by RefreshPixels.
Status ReadCodebookSection(ByteReader& in, KohonenNetwork& network, std::uint8_t& colourCode);

}  // namespace pictora
