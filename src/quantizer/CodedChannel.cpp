#include "quantizer/CodedChannel.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "quantizer/BlockVector.h"
#include "quantizer/KohonenNetwork.h"

namespace pictora {

std::uint32_t CodedChannel::NeuronCount() const {
    return Dimension() == 0 ? 0 : static_cast<std::uint32_t>(codebook.size() / Dimension());
}

std::uint32_t CodedChannel::BlockColumns() const { return codebook.empty() || side == 0 ? 0 : columns / side; }

std::uint32_t CodedChannel::BlockRows() const { return codebook.empty() || side == 0 ? 0 : rows / side; }

void RebuildPlane(std::span<const std::uint8_t> codebook, std::uint32_t side, std::span<const std::uint32_t> codes,
                  std::uint32_t rows, std::uint32_t columns, Plane& plane) {
    if (codebook.empty() || side == 0 || plane.Height() < rows || plane.Width() < columns) return;
    const std::uint32_t blockRows = rows / side;
    const std::uint32_t blocksPerRow = columns / side;
    if (codes.size() < static_cast<std::uint64_t>(blockRows) * blocksPerRow) return;
    const std::size_t dimension = static_cast<std::size_t>(side) * side;

    std::size_t block = 0;
    for (std::uint32_t r = 0; r < blockRows; ++r) {
        for (std::uint32_t k = 0; k < blocksPerRow; ++k) {
            const std::uint8_t* neuron = codebook.data() + codes[block++] * dimension;
            for (std::uint32_t i = 0; i < side; ++i)
                std::memcpy(plane[r * side + i] + k * side, neuron + static_cast<std::size_t>(i) * side, side);
        }
    }
    // A plane with no full block has nothing to repeat and stays as it is.
    const std::uint32_t rebuiltRows = blockRows * side;
    const std::uint32_t rebuiltColumns = blocksPerRow * side;
    if (rebuiltRows == 0 || rebuiltColumns == 0) return;
    if (rebuiltColumns < columns) {
        for (std::uint32_t y = 0; y < rebuiltRows; ++y) {
            std::uint8_t* row = plane[y];
            std::memset(row + rebuiltColumns, row[rebuiltColumns - 1], columns - rebuiltColumns);
        }
    }
    for (std::uint32_t y = rebuiltRows; y < rows; ++y) std::memcpy(plane[y], plane[rebuiltRows - 1], columns);
}

Status CodedSectionOf(const CodedChannel& channel, std::uint8_t colourCode, CodedSectionLayout& section) {
    if (channel.side == 0)
        return Status::Error(ErrorKind::NothingCoded, "channel has no block dimension to write");
    CodedSectionLayout made;
    CodedSectionHeader& header = made.header;
    header.columns = channel.columns;
    header.colourCode = colourCode;
    header.rows = channel.rows;
    header.dimension = channel.Dimension();
    header.neuronCount = channel.NeuronCount();
    if (header.Width() * header.Entries() > UINT32_MAX)
        return Status::Error(ErrorKind::UnsupportedImage, "channel is too large for a coded-image file");
    if (Status checked = CheckCodedSectionHead(header); !checked) return checked;
    const std::uint64_t blocks = header.FullBlocks();
    if (channel.codebook.size() != std::uint64_t{header.neuronCount} * header.dimension || channel.codes.size() != blocks)
        return Status::Error(ErrorKind::InvalidSetting,
                             "codebook of " + std::to_string(channel.codebook.size()) + " pixels and " +
                                 std::to_string(channel.codes.size()) + " codes do not make blocks of " +
                                 std::to_string(header.dimension) + " pixels for " + std::to_string(blocks) + " blocks");
    for (std::size_t b = 0; b < channel.codes.size(); ++b)
        if (channel.codes[b] >= header.neuronCount)
            return Status::Error(ErrorKind::InvalidSetting, "block " + std::to_string(b) + " refers to neuron " +
                                                                std::to_string(channel.codes[b]) + " of " +
                                                                std::to_string(header.neuronCount));
    made.codebook = channel.codebook;
    made.entries.assign(header.neuronCount == 0 ? 0 : header.Entries(), 0);
    std::copy(channel.codes.begin(), channel.codes.end(), made.entries.begin());
    section = std::move(made);
    return Status::Ok();
}

CodedChannel CodedChannelOf(const CodedSectionLayout& section) {
    const CodedSectionHeader& header = section.header;
    CodedChannel channel;
    channel.rows = header.rows;
    channel.columns = header.columns;
    channel.side = header.Side();
    channel.codebook.assign(section.codebook.begin(), section.codebook.end());
    channel.codes.assign(section.entries.begin(),
                         section.entries.begin() + static_cast<std::ptrdiff_t>(header.FullBlocks()));
    return channel;
}

CodedChannel CodedChannelOf(const KohonenNetwork& network) {
    CodedChannel channel;
    channel.rows = network.Rows();
    channel.columns = network.Columns();
    const std::uint32_t side = BlockSide(network.Dimension());
    // A dimension that is no square has no block side a file could hold.
    channel.side = side * side == network.Dimension() ? side : 0;
    channel.codebook = network.CodebookPixels();
    channel.codes.assign(static_cast<std::size_t>(channel.BlockRows()) * channel.BlockColumns(), 0);
    const std::vector<std::uint32_t>& codes = network.Codes();
    std::copy_n(codes.begin(), std::min(channel.codes.size(), codes.size()), channel.codes.begin());
    return channel;
}

void ApplyCodedChannel(const CodedChannel& channel, KohonenNetwork& network, std::uint32_t planeRows,
                       std::uint32_t planeColumns) {
    const std::uint32_t dimension = channel.Dimension();
    const std::uint32_t neurons = channel.NeuronCount();
    network.SetPlaneSize(planeRows, planeColumns);
    if (neurons == 0) {
        network.ResetWithoutWork(dimension);
    } else {
        network.Reset(dimension);
    }
    network.SetPlaneSize(channel.rows, channel.columns);
    BlockVector normaliser;
    if (neurons > 0) normaliser.Resize(dimension);
    for (std::uint32_t i = 0; i < neurons; ++i)
        network.Neurons().AppendFromPixels(channel.codebook.data() + static_cast<std::size_t>(i) * dimension, normaliser);
    network.SetPrunedCount(0);
    std::copy(channel.codes.begin(), channel.codes.end(), network.Codes().begin());
    network.Rebuild(false);
}

}  // namespace pictora
