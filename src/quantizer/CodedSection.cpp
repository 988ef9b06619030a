// The channel section of the coded-image (.mqc) file. A file is three such
// sections, for channel 0, 1 and 2, with nothing before, between or after them.
//
//   offset      size            field (integers u32 little-endian)
//   0           4               columns of the channel's plane; in channel 0's
//                               section bits 24..31 hold the colour space
//                               (0 YCbCr 4:4:4, 1 RGB, 2 YCbCr 4:2:0), so the
//                               width is always the low 24 bits
//   4           4               rows
//   8           4               d, pixels per block (the square of the side n)
//   12          4               K, neurons
//   16          K * d           each neuron's pixels, row-major, in list order
//   16 + K*d    5 + 4*ceil(N/32) bit-stream block: width byte = bit length of K,
//                               N = width * (rows * columns / d), then the
//                               words; each code in `width` bits, least
//                               significant first. The first (rows/n)*(columns/n)
//                               entries code the full blocks in raster order;
//                               the rest stand for no block and are written 0.
//
// For the chroma channels of YCbCr 4:2:0 a section holds the half-size plane.
// A channel never trained since a restart is written with K = 0 and an empty
// bit-stream block (width 0, N = 0).
#include "quantizer/CodedSection.h"

#include <algorithm>
#include <string>
#include <vector>

#include "entropy/BitReader.h"
#include "entropy/BitWriter.h"
#include "quantizer/BlockVector.h"
#include "quantizer/KohonenNetwork.h"
#include "support/Truncate.h"

namespace pictora {

std::uint32_t CodedSectionHeader::Side() const { return BlockSide(dimension); }

std::uint64_t CodedSectionHeader::Entries() const {
    return dimension == 0 ? 0 : static_cast<std::uint64_t>(rows) * columns / dimension;
}

Status ReadCodedSectionHeader(ByteReader& in, CodedSectionHeader& header) {
    const std::size_t start = in.Position();
    std::uint32_t firstWord = 0;
    CodedSectionHeader read;
    if (!in.GetU32(firstWord) || !in.GetU32(read.rows) || !in.GetU32(read.dimension) ||
        !in.GetU32(read.neuronCount)) {
        in.Seek(start);
        return Status::Error(ErrorKind::DamagedFile, "coded section ends inside its header");
    }
    read.columns = firstWord & 0x00FFFFFFu;
    read.colourCode = static_cast<std::uint8_t>(firstWord >> 24);

    std::string fault;
    const std::uint32_t side = read.Side();
    // An empty channel (K = 0) codes nothing, so its plane may hold no block.
    const bool empty = read.neuronCount == 0;
    if (read.columns > KohonenNetwork::kMaxSide || read.rows > KohonenNetwork::kMaxSide ||
        (!empty && (read.columns == 0 || read.rows == 0))) {
        fault = "plane of " + std::to_string(read.columns) + " x " + std::to_string(read.rows) +
                " pixels is outside 1 to 65535 on a side";
    } else if (std::uint64_t{read.columns} * read.rows > KohonenNetwork::kMaxPixels) {
        fault = "plane of " + std::to_string(read.columns) + " x " + std::to_string(read.rows) +
                " pixels is larger than the " + std::to_string(KohonenNetwork::kMaxPixels) + " an image may have";
    } else if (read.dimension == 0 || side * side != read.dimension ||
               (!empty && side > std::min(read.rows, read.columns))) {
        fault = "block dimension " + std::to_string(read.dimension) + " does not fit a plane of " +
                std::to_string(read.columns) + " x " + std::to_string(read.rows);
    } else if (read.neuronCount > 0xFFFFFFu) {
        fault = "codebook of " + std::to_string(read.neuronCount) + " neurons";
    } else if (static_cast<std::uint64_t>(read.neuronCount) * read.dimension > in.Remaining()) {
        fault = "codebook of " + std::to_string(read.neuronCount) + " neurons is truncated";
    }
    if (!fault.empty()) {
        in.Seek(start);
        return Status::Error(ErrorKind::DamagedFile, "coded section: " + fault);
    }
    header = read;
    return Status::Ok();
}

Status WriteCodedSection(const KohonenNetwork& network, ByteWriter& out) {
    const std::uint32_t count = network.NeuronCount();
    const std::uint32_t dimension = network.Dimension();
    const std::uint32_t rows = network.Rows();
    const std::uint32_t columns = network.Columns();
    const std::uint32_t side = BlockSide(dimension);
    if (dimension == 0 || side * side != dimension)
        return Status::Error(ErrorKind::NothingCoded, "channel has no block dimension to write");
    const std::uint64_t entries = static_cast<std::uint64_t>(rows) * columns / dimension;
    const std::uint32_t width = BitLength(count);
    if (width * entries > UINT32_MAX)
        return Status::Error(ErrorKind::UnsupportedImage, "channel is too large for a coded-image file");

    out.PutU32(columns);
    out.PutU32(rows);
    out.PutU32(dimension);
    out.PutU32(count);
    for (std::uint32_t i = 0; i < count; ++i)
        out.PutBytes(std::span<const std::uint8_t>(network.Neurons().At(i).pixels.data(), dimension));

    std::vector<std::uint32_t> values(count == 0 ? 0 : entries, 0);
    const std::size_t fullBlocks = count == 0 ? 0 : static_cast<std::size_t>(rows / side) * (columns / side);
    const std::vector<std::uint32_t>& codes = network.Codes();
    std::copy_n(codes.begin(), std::min(fullBlocks, codes.size()), values.begin());
    BitWriter writer;
    if (Status started = writer.InitForValues(static_cast<std::uint8_t>(width), values.data(), values.size()); !started)
        return started;
    return writer.WriteTo(out);
}

Status ReadCodedSection(ByteReader& in, KohonenNetwork& network, std::uint32_t planeRows,
                        std::uint32_t planeColumns) {
    const std::size_t start = in.Position();
    CodedSectionHeader header;
    if (Status read = ReadCodedSectionHeader(in, header); !read) return read;
    auto fail = [&](const std::string& fault) {
        in.Seek(start);
        return Status::Error(ErrorKind::DamagedFile, "coded section: " + fault);
    };
    if (planeRows == 0) planeRows = header.rows;
    if (planeColumns == 0) planeColumns = header.columns;
    if (planeRows < header.rows || planeColumns < header.columns) return fail("plane larger than its image");
    // Blocks larger than the image are damage, even in a channel that codes nothing.
    if (header.Side() > std::max<std::uint32_t>(1, std::min(planeRows, planeColumns)))
        return fail("block dimension " + std::to_string(header.dimension) + " does not fit the image");

    std::span<const std::uint8_t> pixels;
    (void)in.GetBytes(static_cast<std::size_t>(header.neuronCount) * header.dimension, pixels);
    std::vector<std::uint32_t> values;
    BitReader reader;
    if (Status loaded = reader.LoadFrom(in, values); !loaded) return fail(loaded.message());
    const std::uint32_t width = BitLength(header.neuronCount);
    if (reader.Width() != width || reader.TotalBits() != width * header.Entries())
        return fail("index block of " + std::to_string(reader.TotalBits()) + " bits in width " +
                    std::to_string(reader.Width()) + " does not match " + std::to_string(header.neuronCount) +
                    " neurons and " + std::to_string(header.Entries()) + " blocks");
    const std::uint32_t side = header.Side();
    const std::size_t fullBlocks =
        header.neuronCount == 0 ? 0 : static_cast<std::size_t>(header.rows / side) * (header.columns / side);
    for (std::size_t b = 0; b < fullBlocks; ++b)
        if (values[b] >= header.neuronCount)
            return fail("block " + std::to_string(b) + " refers to neuron " + std::to_string(values[b]) + " of " +
                        std::to_string(header.neuronCount));

    // Everything checked: replace the codebook and the codes.
    network.SetPlaneSize(planeRows, planeColumns);
    if (header.neuronCount == 0) {
        network.ResetWithoutWork(header.dimension);
    } else {
        network.Reset(header.dimension);
    }
    network.SetPlaneSize(header.rows, header.columns);
    BlockVector normaliser;
    if (header.neuronCount > 0) normaliser.Resize(header.dimension);
    for (std::uint32_t i = 0; i < header.neuronCount; ++i)
        network.Neurons().AppendFromPixels(pixels.data() + static_cast<std::size_t>(i) * header.dimension, normaliser);
    network.SetPrunedCount(0);
    std::copy_n(values.begin(), fullBlocks, network.Codes().begin());
    network.Rebuild(false);
    return Status::Ok();
}

}  // namespace pictora
