// Writing and decoding coded images (.mqc) in ImageCompressor.
#include <string>

#include "image/ChromaResampling.h"
#include "image/ColorConversion.h"
#include "pipeline/ImageCompressor.h"
#include "quantizer/CodedSection.h"
#include "support/FileIO.h"

namespace pictora {

Status ImageCompressor::EncodeCodedImage(std::vector<std::uint8_t>& bytes) const {
    if (channels_[0].NeuronCount() == 0) return Status::Error("nothing has been coded in channel 0");
    std::vector<std::uint8_t> encoded;
    ByteWriter out(encoded);
    for (int c = 0; c < 3; ++c) {
        if (Status written = channels_[c].WriteCoded(out); !written)
            return Status::Error("channel " + std::to_string(c) + ": " + written.message());
    }
    // The colour space travels in the top byte of channel 0's width.
    out.PatchU32(0, channels_[0].Columns() | (static_cast<std::uint32_t>(colorSpace_) << 24));
    bytes = std::move(encoded);
    return Status::Ok();
}

Status ImageCompressor::WriteCodedFile(const std::string& path) const {
    std::vector<std::uint8_t> bytes;
    if (Status encoded = EncodeCodedImage(bytes); !encoded) return Status::Error(path + ": " + encoded.message());
    return WriteFileAtomically(path, bytes);
}

Status ImageCompressor::DecodeCodedImage(std::span<const std::uint8_t> bytes) {
    ByteReader in(bytes);
    std::uint32_t firstWord = 0;
    if (!in.GetU32(firstWord)) return Status::Error("too short for a coded image");
    in.Seek(0);
    const std::uint32_t stored = firstWord >> 24;
    const int colorSpace = stored <= 2 ? static_cast<int>(stored) : kColorSpaceNone;

    // Channel 0 sets the size of every plane; only its codes can justify it.
    CodedSectionHeader first;
    if (Status read = ReadCodedSectionHeader(in, first); !read) return Status::Error("channel 0: " + read.message());
    if (first.neuronCount == 0) return Status::Error("channel 0 holds no codebook");
    in.Seek(0);
    Channels decoded;
    if (Status read = decoded[0].ReadCoded(in); !read) return Status::Error("channel 0: " + read.message());
    const std::uint32_t rows = decoded[0].Rows();
    const std::uint32_t columns = decoded[0].Columns();
    // The chroma of 4:2:0 is half size, rounded down; its planes take the full
    // size so that the upsampled chroma fits, the odd row or column left zero.
    const bool halfChroma = colorSpace == kColorSpaceYCbCr420;
    const std::uint32_t chromaRows = halfChroma ? rows / 2 : rows;
    const std::uint32_t chromaColumns = halfChroma ? columns / 2 : columns;
    for (int c = 1; c < 3; ++c) {
        if (Status read = decoded[c].ReadCoded(in, rows, columns); !read)
            return Status::Error("channel " + std::to_string(c) + ": " + read.message());
        if (decoded[c].Rows() != chromaRows || decoded[c].Columns() != chromaColumns)
            return Status::Error("channel " + std::to_string(c) + " has a plane of " +
                                 std::to_string(decoded[c].Columns()) + " x " + std::to_string(decoded[c].Rows()) +
                                 " pixels where " + std::to_string(chromaColumns) + " x " +
                                 std::to_string(chromaRows) + " belong");
    }
    if (in.Remaining() != 0)
        return Status::Error(std::to_string(in.Remaining()) + " bytes follow the third channel");

    for (int c = 0; c < 3; ++c) decoded[c].SetSource(channels_[c].Source());
    AdoptChannels(decoded, colorSpace);
    ConvertDecodedToRgb();
    BuildDecodedDisplays(rows, columns, channels_[0].RebuiltCopy(), channels_[1].RebuiltCopy(),
                         channels_[2].RebuiltCopy());
    return Status::Ok();
}

Status ImageCompressor::DecodeCodedFile(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    if (Status read = ReadWholeFile(path, bytes); !read) return read;
    if (Status decoded = DecodeCodedImage(bytes); !decoded) return Status::Error(path + ": " + decoded.message());
    return Status::Ok();
}

// The rebuilt planes, in the colour space of the networks, become RGB in
// `rebuiltCopy`, at channel 0's size.
void ImageCompressor::ConvertDecodedToRgb() {
    const std::uint32_t rows = channels_[0].Rows();
    const std::uint32_t columns = channels_[0].Columns();
    Plane& first = channels_[0].RebuiltCopy();
    Plane& second = channels_[1].RebuiltCopy();
    Plane& third = channels_[2].RebuiltCopy();
    if (colorSpace_ == kColorSpaceYCbCr420) {
        Upsample420(rows / 2, columns / 2, second, channels_[1].Rebuilt());
        Upsample420(rows / 2, columns / 2, third, channels_[2].Rebuilt());
        YCbCrToRgb(rows, columns, first, second, third, first, second, third);
    } else if (colorSpace_ == kColorSpaceYCbCr444) {
        YCbCrToRgb(rows, columns, channels_[0].Rebuilt(), channels_[1].Rebuilt(), channels_[2].Rebuilt(), first,
                   second, third);
    }
}

}  // namespace pictora
