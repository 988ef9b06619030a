// The coded-image reader: any bytes decode or are refused, whatever decodes
// reconstructs and is written again to bytes that decode to the same value,
// and a compressor adopts it as it stands.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "pipeline/CodedImage.h"
#include "pipeline/ImageCompressor.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pictora::CodedImage image;
    if (!pictora::DecodeCodedImage({data, size}, image)) return 0;
    const pictora::RgbImage rgb = pictora::Reconstruct(image, pictora::LowPassFilter::Box3, pictora::DeblockStrength::Strong);
    if (rgb.height != static_cast<std::int32_t>(image.Rows()) || !rgb.PlanesMatchSize()) __builtin_trap();
    std::vector<std::uint8_t> written;
    if (!pictora::EncodeCodedImage(image, written)) __builtin_trap();
    pictora::CodedImage again;
    if (!pictora::DecodeCodedImage(written, again) || !(again == image)) __builtin_trap();
    pictora::ImageCompressor compressor;
    if (!compressor.Adopt(image) || !(compressor.Coded() == image)) __builtin_trap();
    return 0;
}
