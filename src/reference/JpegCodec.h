#pragma once

#include "reference/ReferenceCodec.h"

namespace pictora {

// Baseline JPEG through the libjpeg API of libjpeg-turbo: 4:2:0 chroma,
// optimised Huffman tables, the accurate integer DCT both ways. The knob is
// the quality, 1 to 100.
class JpegCodec : public ReferenceCodec {
public:
    ReferenceCodecKind Kind() const override { return ReferenceCodecKind::Jpeg; }

    Status Encode(const RgbImage& image, double knob, std::vector<std::uint8_t>& bytes) const override;
    Status Decode(std::span<const std::uint8_t> file, RgbImage& image) const override;
};

}  // namespace pictora
