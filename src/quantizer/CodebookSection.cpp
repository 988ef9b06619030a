// The codebook (.cod) file: trained networks at full precision, one section
// per channel in a file the program writes (channel 0, 1, 2), sections back
// to back with no gaps. A channel may load any section of any such file.
//
//   offset   size              field (little-endian)
//   0        4                 u32: bits 0..23 = K, neurons; bits 24..31 = colour
//                              space (0 YCbCr 4:4:4, 1 RGB, 2 YCbCr 4:2:0)
//   4        4                 u32: d, pixels per block
//   8        8 * K * (d + 1)   each neuron's d + 1 weights as IEEE 754 binary64,
//                              the normalised block vector with its
//                              augmentation component last, in list order
#include "quantizer/CodebookSection.h"

#include <string>

#include "quantizer/BlockVector.h"
#include "quantizer/KohonenNetwork.h"
#include "support/DebugLog.h"

namespace pictora {

std::uint64_t CodebookSectionHeader::Size() const {
    return 8 + UINT64_C(8) * neuronCount * (static_cast<std::uint64_t>(dimension) + 1);
}

Status ReadCodebookSectionHeader(ByteReader& in, CodebookSectionHeader& header) {
    const std::size_t start = in.Position();
    std::uint32_t firstWord = 0;
    CodebookSectionHeader read;
    if (!in.GetU32(firstWord) || !in.GetU32(read.dimension)) {
        in.Seek(start);
        return Status::Error(ErrorKind::DamagedFile, "codebook section ends inside its header");
    }
    read.neuronCount = firstWord & 0x00FFFFFFu;
    read.colourCode = static_cast<std::uint8_t>(firstWord >> 24);
    const std::uint32_t side = BlockSide(read.dimension);
    std::string fault;
    if (read.dimension == 0 || side * side != read.dimension || side > KohonenNetwork::kMaxSide) {
        fault = "block dimension " + std::to_string(read.dimension) + " is not the square of a block side";
    } else if (read.Size() - 8 > in.Remaining()) {
        fault = "codebook of " + std::to_string(read.neuronCount) + " neurons of dimension " +
                std::to_string(read.dimension) + " is truncated";
    }
    if (!fault.empty()) {
        in.Seek(start);
        return Status::Error(ErrorKind::DamagedFile, "codebook section: " + fault);
    }
    header = read;
    return Status::Ok();
}

Status SkipCodebookSection(ByteReader& in) {
    CodebookSectionHeader header;
    if (Status read = ReadCodebookSectionHeader(in, header); !read) return read;
    (void)in.Skip(static_cast<std::size_t>(header.Size() - 8));
    return Status::Ok();
}

Status WriteCodebookSection(const KohonenNetwork& network, ByteWriter& out, std::uint8_t colourCode) {
    const std::uint32_t count = network.NeuronCount();
    const std::uint32_t dimension = network.Dimension();
    if (count > 0xFFFFFFu)
        return Status::Error(ErrorKind::UnsupportedImage, "codebook has more neurons than its file can count");
    out.PutU32(count | (static_cast<std::uint32_t>(colourCode) << 24));
    out.PutU32(dimension);
    for (std::uint32_t i = 0; i < count; ++i)
        for (std::uint32_t k = 0; k <= dimension; ++k) out.PutF64(network.Neurons().At(i).weights[k]);
    DebugLog("sNumero de neuronios %i\n Dimensao %i\n", count, dimension);
    return Status::Ok();
}

Status ReadCodebookSection(ByteReader& in, KohonenNetwork& network, std::uint8_t& colourCode) {
    const std::size_t start = in.Position();
    CodebookSectionHeader header;
    if (Status read = ReadCodebookSectionHeader(in, header); !read) return read;
    // Checked before anything is allocated for blocks of that size.
    const std::uint32_t side = BlockSide(header.dimension);
    const std::uint32_t rows = network.Rows();
    const std::uint32_t columns = network.Columns();
    if (side > rows || side > columns) {
        in.Seek(start);
        return Status::Error(ErrorKind::CodebookMismatch, "codebook section: blocks of " + std::to_string(side) +
                                                              " x " + std::to_string(side) + " do not fit a plane of " +
                                                              std::to_string(columns) + " x " + std::to_string(rows));
    }
    network.Configure(rows, columns);
    network.Reset(header.dimension);
    std::vector<double> weights(header.dimension + 1);
    for (std::uint32_t i = 0; i < header.neuronCount; ++i) {
        for (double& weight : weights) (void)in.GetF64(weight);
        network.Neurons().Append(weights.data(), 0, 0);
    }
    network.SetPrunedCount(0);
    colourCode = header.colourCode;
    return Status::Ok();
}

}  // namespace pictora
