// The reconstruction of ImageCompressor as a PNG image.
#include "image/PngWriter.h"
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
    const Plane* const planes[3] = {&channels_[0].RebuiltCopy(), &channels_[1].RebuiltCopy(),
                                    &channels_[2].RebuiltCopy()};
    bytes = EncodePng(planes, rows, columns);
    return Status::Ok();
}

Status ImageCompressor::SaveReconstructionPng(const std::string& path) const {
    std::vector<std::uint8_t> bytes;
    if (Status encoded = EncodeReconstructionPng(bytes); !encoded) return encoded.About(path);
    return WriteFileAtomically(path, bytes);
}

}  // namespace pictora
