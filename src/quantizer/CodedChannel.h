#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "quantizer/CodedSection.h"
#include "support/Plane.h"

namespace pictora {

class KohonenNetwork;

// One channel of a coded image as a value: what its section in a .mqc file
// means. The index entries beyond the full blocks stand for no block and the
// spare bits of the index block's last word carry nothing; neither is kept
// (both are written 0).
struct CodedChannel {
    std::uint32_t rows = 0;     // the channel's plane (half size for 4:2:0 chroma)
    std::uint32_t columns = 0;
    std::uint32_t side = 0;     // blocks are side x side pixels
    // Each neuron's side * side pixels, row-major, neuron after neuron: the
    // codebook has codebook.size() / (side * side) neurons.
    std::vector<std::uint8_t> codebook;
    // The neuron of every full block in raster order (none when the codebook
    // is empty).
    std::vector<std::uint32_t> codes;

    std::uint32_t Dimension() const { return side * side; }
    std::uint32_t NeuronCount() const;
    // Full blocks per block row and per block column (0 for an empty codebook).
    std::uint32_t BlockColumns() const;
    std::uint32_t BlockRows() const;

    bool operator==(const CodedChannel&) const = default;
};

// Pastes the neuron of every full block of the rows x columns region of
// `plane` and gives the pixels right of and below the full blocks the value
// of the nearest rebuilt pixel, (min(y, rebuiltRows - 1), min(x,
// rebuiltColumns - 1)): left at zero they would frame the picture in black
// and weigh on every measure. Nothing is written when the codebook is empty,
// the plane is smaller than the region or there are fewer codes than blocks.
// `codebook` holds side * side pixels per neuron; every code names one of
// them.
void RebuildPlane(std::span<const std::uint8_t> codebook, std::uint32_t side, std::span<const std::uint32_t> codes,
                  std::uint32_t rows, std::uint32_t columns, Plane& plane);

// The channel's section of a coded image: its head with `colourCode` in the
// top byte of the first word, its codebook (pointing into the channel) and
// the index entries. Refused when the channel has no block side, is too large
// for an index block or its codebook and codes do not match.
Status CodedSectionOf(const CodedChannel& channel, std::uint8_t colourCode, CodedSectionLayout& section);
// The channel a section read and checked (ReadCodedSectionLayout) holds.
CodedChannel CodedChannelOf(const CodedSectionLayout& section);

// The codebook (in pixel form) and codes a network holds now: the channel its
// coded-image section is written from. Needs a coding pass and RefreshPixels
// since the last training.
CodedChannel CodedChannelOf(const KohonenNetwork& network);
// Replaces the network's codebook and codes by those of the channel and
// rebuilds it (no masks). The work planes get planeRows x planeColumns, which
// must be at least the channel's plane (the half-size chroma of 4:2:0 later
// takes the upsampled image) and fit its block.
void ApplyCodedChannel(const CodedChannel& channel, KohonenNetwork& network, std::uint32_t planeRows,
                       std::uint32_t planeColumns);

}  // namespace pictora
