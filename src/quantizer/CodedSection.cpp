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

std::uint32_t CodedSectionHeader::Width() const { return BitLength(neuronCount); }

std::uint32_t CodedSectionHeader::BlockColumns() const { return neuronCount == 0 ? 0 : columns / Side(); }

std::uint32_t CodedSectionHeader::BlockRows() const { return neuronCount == 0 ? 0 : rows / Side(); }

std::uint64_t CodedSectionHeader::FullBlocks() const {
    return static_cast<std::uint64_t>(BlockRows()) * BlockColumns();
}

Status CheckCodedSectionHead(const CodedSectionHeader& header) {
    std::string fault;
    const std::uint32_t side = header.Side();
    // An empty channel (K = 0) codes nothing, so its plane may hold no block.
    const bool empty = header.neuronCount == 0;
    if (header.columns > KohonenNetwork::kMaxSide || header.rows > KohonenNetwork::kMaxSide ||
        (!empty && (header.columns == 0 || header.rows == 0))) {
        fault = "plane of " + std::to_string(header.columns) + " x " + std::to_string(header.rows) +
                " pixels is outside 1 to 65535 on a side";
    } else if (std::uint64_t{header.columns} * header.rows > KohonenNetwork::kMaxPixels) {
        fault = "plane of " + std::to_string(header.columns) + " x " + std::to_string(header.rows) +
                " pixels is larger than the " + std::to_string(KohonenNetwork::kMaxPixels) + " an image may have";
    } else if (header.dimension == 0 || side * side != header.dimension ||
               (!empty && side > std::min(header.rows, header.columns))) {
        fault = "block dimension " + std::to_string(header.dimension) + " does not fit a plane of " +
                std::to_string(header.columns) + " x " + std::to_string(header.rows);
    } else if (header.neuronCount > 0xFFFFFFu) {
        fault = "codebook of " + std::to_string(header.neuronCount) + " neurons";
    } else if (header.Width() * header.Entries() > UINT32_MAX) {
        fault = std::to_string(header.Entries()) + " index entries of " + std::to_string(header.Width()) +
                " bits do not fit an index block";
    }
    if (!fault.empty()) return Status::Error(ErrorKind::DamagedFile, "coded section: " + fault);
    return Status::Ok();
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
    Status checked = CheckCodedSectionHead(read);
    if (checked && static_cast<std::uint64_t>(read.neuronCount) * read.dimension > in.Remaining())
        checked = Status::Error(ErrorKind::DamagedFile,
                                "coded section: codebook of " + std::to_string(read.neuronCount) + " neurons is truncated");
    if (!checked) {
        in.Seek(start);
        return checked;
    }
    header = read;
    return Status::Ok();
}

Status ReadCodedSectionLayout(ByteReader& in, CodedSectionLayout& section) {
    const std::size_t start = in.Position();
    CodedSectionHeader header;
    if (Status read = ReadCodedSectionHeader(in, header); !read) return read;
    auto fail = [&](const std::string& fault) {
        in.Seek(start);
        return Status::Error(ErrorKind::DamagedFile, "coded section: " + fault);
    };
    std::span<const std::uint8_t> pixels;
    (void)in.GetBytes(static_cast<std::size_t>(header.neuronCount) * header.dimension, pixels);
    std::vector<std::uint32_t> entries;
    BitReader reader;
    if (Status loaded = reader.LoadFrom(in, entries); !loaded) return fail(loaded.message());
    const std::uint32_t width = header.Width();
    if (reader.Width() != width || reader.TotalBits() != width * header.Entries())
        return fail("index block of " + std::to_string(reader.TotalBits()) + " bits in width " +
                    std::to_string(reader.Width()) + " does not match " + std::to_string(header.neuronCount) +
                    " neurons and " + std::to_string(header.Entries()) + " blocks");
    const std::size_t fullBlocks = header.FullBlocks();
    for (std::size_t b = 0; b < fullBlocks; ++b)
        if (entries[b] >= header.neuronCount)
            return fail("block " + std::to_string(b) + " refers to neuron " + std::to_string(entries[b]) + " of " +
                        std::to_string(header.neuronCount));
    const std::uint32_t usedBits = reader.TotalBits() % 32;
    section.header = header;
    section.codebook = pixels;
    section.entries = std::move(entries);
    section.spareBits = usedBits == 0 ? 0 : reader.Words().back() >> usedBits;
    return Status::Ok();
}

Status WriteCodedSectionLayout(const CodedSectionLayout& section, ByteWriter& out) {
    const CodedSectionHeader& header = section.header;
    BitWriter writer;
    if (Status started = writer.InitForValues(static_cast<std::uint8_t>(header.Width()), section.entries.data(),
                                              section.entries.size());
        !started)
        return started;
    if (writer.TotalBits() > UINT32_MAX)
        return Status::Error(ErrorKind::UnsupportedImage, "channel is too large for a coded-image file");
    const std::uint32_t usedBits = static_cast<std::uint32_t>(writer.TotalBits() % 32);
    if (usedBits != 0) writer.PutBits(section.spareBits, 32 - usedBits);
    out.PutU32(header.columns | static_cast<std::uint32_t>(header.colourCode) << 24);
    out.PutU32(header.rows);
    out.PutU32(header.dimension);
    out.PutU32(header.neuronCount);
    out.PutBytes(section.codebook);
    // The spare bits are part of the last word, not of the stream's N bits.
    out.PutU8(writer.Width());
    out.PutU32(static_cast<std::uint32_t>(writer.TotalBits() - (usedBits == 0 ? 0 : 32 - usedBits)));
    for (std::uint32_t word : writer.Words()) out.PutU32(word);
    return Status::Ok();
}

}  // namespace pictora
