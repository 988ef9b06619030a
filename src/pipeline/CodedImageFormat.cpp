// Coded images (.mqc) of ImageCompressor: encoded to and decoded from bytes in
// memory; the file versions only add the reading or writing of the file.
#include <string>

#include "image/PngImage.h"
#include "pipeline/ImageCompressor.h"
#include "quantizer/CodedImageLayout.h"
#include "quantizer/CodedSection.h"
#include "support/FileIO.h"

namespace pictora {

// A coded image is never larger than an image the program can read and code.
static_assert(KohonenNetwork::kMaxPixels == kPngMaxPixels);

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
    CodedImageLayout layout;
    if (Status read = ReadCodedImageLayout(bytes, layout); !read) return read;
    const pictora::ColorSpace colorSpace = ColorSpaceFromFileCode(layout.ColourCode());

    // Every plane is channel 0's size: the half-size chroma of 4:2:0 later
    // takes the upsampled chroma, the odd row or column left zero.
    const std::uint32_t rows = layout.sections[0].header.rows;
    const std::uint32_t columns = layout.sections[0].header.columns;
    Channels decoded;
    for (int c = 0; c < 3; ++c) ApplyCodedSection(layout.sections[c], decoded[c], rows, columns);
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
