// Coded images (.mqc) of ImageCompressor: encoded to and decoded from bytes in
// memory; the file versions only add the reading or writing of the file.
#include <string>

#include "image/PngImage.h"
#include "pipeline/ImageCompressor.h"
#include "quantizer/CodedSection.h"
#include "support/FileIO.h"

namespace pictora {

// A coded image is never larger than an image the program can read and code.
static_assert(KohonenNetwork::kMaxPixels == PngImage::kMaxPixels);

Status ImageCompressor::EncodeCodedImage(std::vector<std::uint8_t>& bytes) const {
    if (channels_[0].NeuronCount() == 0)
        return Status::Error(ErrorKind::NothingCoded, "nothing has been coded in channel 0");
    std::vector<std::uint8_t> encoded;
    ByteWriter out(encoded);
    for (int c = 0; c < 3; ++c) {
        if (Status written = WriteCodedSection(channels_[c], out); !written)
            return written.Prefixed("channel " + std::to_string(c));
    }
    // The colour space travels in the top byte of channel 0's width.
    out.PatchU32(0, channels_[0].Columns() | (static_cast<std::uint32_t>(FileCodeOf(colorSpace_)) << 24));
    bytes = std::move(encoded);
    return Status::Ok();
}

Status ImageCompressor::WriteCodedFile(const std::string& path) const {
    std::vector<std::uint8_t> bytes;
    if (Status encoded = EncodeCodedImage(bytes); !encoded) return encoded.About(path);
    return WriteFileAtomically(path, bytes);
}

Status ImageCompressor::DecodeCodedImage(std::span<const std::uint8_t> bytes) {
    ByteReader in(bytes);
    std::uint32_t firstWord = 0;
    if (!in.GetU32(firstWord)) return Status::Error(ErrorKind::DamagedFile, "too short for a coded image");
    in.Seek(0);
    const pictora::ColorSpace colorSpace = ColorSpaceFromFileCode(firstWord >> 24);

    // Channel 0 sets the size of every plane; only its codes can justify it.
    CodedSectionHeader first;
    if (Status read = ReadCodedSectionHeader(in, first); !read) return read.Prefixed("channel 0");
    if (first.neuronCount == 0) return Status::Error(ErrorKind::DamagedFile, "channel 0 holds no codebook");
    in.Seek(0);
    Channels decoded;
    if (Status read = ReadCodedSection(in, decoded[0]); !read) return read.Prefixed("channel 0");
    const std::uint32_t rows = decoded[0].Rows();
    const std::uint32_t columns = decoded[0].Columns();
    // The chroma of 4:2:0 is half size, rounded down; its planes take the full
    // size so that the upsampled chroma fits.
    const bool halfChroma = colorSpace == ColorSpace::YCbCr420;
    const std::uint32_t chromaRows = halfChroma ? rows / 2 : rows;
    const std::uint32_t chromaColumns = halfChroma ? columns / 2 : columns;
    for (int c = 1; c < 3; ++c) {
        if (Status read = ReadCodedSection(in, decoded[c], rows, columns); !read)
            return read.Prefixed("channel " + std::to_string(c));
        if (decoded[c].Rows() != chromaRows || decoded[c].Columns() != chromaColumns)
            return Status::Error(ErrorKind::DamagedFile,
                                 "channel " + std::to_string(c) + " has a plane of " +
                                     std::to_string(decoded[c].Columns()) + " x " + std::to_string(decoded[c].Rows()) +
                                     " pixels where " + std::to_string(chromaColumns) + " x " +
                                     std::to_string(chromaRows) + " belong");
    }
    if (in.Remaining() != 0)
        return Status::Error(ErrorKind::DamagedFile,
                             std::to_string(in.Remaining()) + " bytes follow the third channel");

    for (int c = 0; c < 3; ++c) decoded[c].SetSource(channels_[c].Source());
    AdoptChannels(decoded, colorSpace);
    ReconstructRgb();
    return Status::Ok();
}

Status ImageCompressor::DecodeCodedFile(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    if (Status read = ReadWholeFile(path, bytes); !read) return read;
    return DecodeCodedImage(bytes).About(path);
}

}  // namespace pictora
