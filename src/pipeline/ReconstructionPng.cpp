// The reconstruction of ImageCompressor as a PNG image.
#include "image/PngWriter.h"
#include "pipeline/ImageCompressor.h"
#include "support/FileIO.h"

namespace pictora {

Status ImageCompressor::EncodeReconstructionPng(std::vector<std::uint8_t>& bytes) const {
    if (!HasReconstruction())
        return Status::Error(ErrorKind::NothingCoded, "there is no reconstructed image to save");
    const Plane* const planes[3] = {&ReconstructedPlane(0), &ReconstructedPlane(1), &ReconstructedPlane(2)};
    bytes = EncodePng(planes, ReconstructionRows(), ReconstructionColumns());
    return Status::Ok();
}

Status ImageCompressor::SaveReconstructionPng(const std::string& path) const {
    std::vector<std::uint8_t> bytes;
    if (Status encoded = EncodeReconstructionPng(bytes); !encoded) return encoded.About(path);
    return WriteFileAtomically(path, bytes);
}

}  // namespace pictora
