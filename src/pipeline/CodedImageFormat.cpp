// Coded images (.mqc) of ImageCompressor: the networks' coded image encoded
// to bytes, and a coded image decoded from bytes adopted in their place; the
// file versions only add the reading or writing of the file.
#include <string>

#include "image/PngImage.h"
#include "pipeline/ImageCompressor.h"
#include "support/FileIO.h"

namespace pictora {

// A coded image is never larger than an image the program can read and code.
static_assert(KohonenNetwork::kMaxPixels == kPngMaxPixels);

Status ImageCompressor::EncodeCodedImage(std::vector<std::uint8_t>& bytes) const {
    return pictora::EncodeCodedImage(Coded(), bytes);
}

Status ImageCompressor::WriteCodedFile(const std::string& path) const {
    std::vector<std::uint8_t> bytes;
    if (Status encoded = EncodeCodedImage(bytes); !encoded) return encoded.About(path);
    return WriteFileAtomically(path, bytes);
}

Status ImageCompressor::Adopt(const CodedImage& image) {
    if (Status checked = CheckCodedImage(image); !checked) return checked;
    AdoptChecked(image);
    return Status::Ok();
}

// Every plane is channel 0's size: the half-size chroma of 4:2:0 later takes
// the upsampled chroma.
void ImageCompressor::AdoptChecked(const CodedImage& image) {
    Channels decoded;
    for (int c = 0; c < 3; ++c) {
        ApplyCodedChannel(image.channels[c], decoded[c], image.Rows(), image.Columns());
        decoded[c].SetSource(channels_[c].Source());
    }
    AdoptChannels(decoded, image.colorSpace);
    Reconstruct(LowPassFilter::None);
}

Status ImageCompressor::DecodeCodedImage(std::span<const std::uint8_t> bytes) {
    CodedImage image;
    if (Status decoded = pictora::DecodeCodedImage(bytes, image); !decoded) return decoded;
    AdoptChecked(image);
    return Status::Ok();
}

Status ImageCompressor::DecodeCodedFile(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    if (Status read = ReadWholeFile(path, bytes); !read) return read;
    return DecodeCodedImage(bytes).About(path);
}

}  // namespace pictora
