// The reconstruction of ImageCompressor as a PNG image.
#include "image/PngImage.h"
#include "pipeline/ImageCompressor.h"
#include "support/FileIO.h"

namespace pictora {

Status ImageCompressor::EncodeReconstructionPng(std::vector<std::uint8_t>& bytes) const {
    const std::uint32_t rows = channels_[0].Rows();
    const std::uint32_t columns = channels_[0].Columns();
    for (const KohonenNetwork& channel : channels_) {
        if (rows == 0 || channel.RebuiltCopy().Height() < rows || channel.RebuiltCopy().Width() < columns)
            return Status::Error(ErrorKind::NothingCoded, "there is no reconstructed image to save");
    }
    PngImage image;
    image.Resize(static_cast<std::int32_t>(rows), static_cast<std::int32_t>(columns));
    Plane* targets[3] = {&image.red, &image.green, &image.blue};
    for (int c = 0; c < 3; ++c) {
        const Plane& source = channels_[c].RebuiltCopy();
        for (std::uint32_t i = 0; i < rows; ++i)
            for (std::uint32_t j = 0; j < columns; ++j) (*targets[c])[i][j] = source[i][j];
    }
    const int result = image.Encode(0, bytes);
    return image.LastStatus(result);
}

Status ImageCompressor::SaveReconstructionPng(const std::string& path) const {
    std::vector<std::uint8_t> bytes;
    if (Status encoded = EncodeReconstructionPng(bytes); !encoded) return encoded.About(path);
    return WriteFileAtomically(path, bytes);
}

}  // namespace pictora
