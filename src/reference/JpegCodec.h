#pragma once

#include "reference/ReferenceCodec.h"

namespace pictora {

// Baseline JPEG through the libjpeg API of libjpeg-turbo: 4:2:0 chroma,
// optimised Huffman tables, the accurate integer DCT both ways. The knob is
// the quality, 1 to 100.
class JpegCodec : public ReferenceCodec {
public:
    ReferenceCodecKind Kind() const override { return ReferenceCodecKind::Jpeg; }
    std::string_view Name() const override { return "jpeg"; }
    std::string_view Extension() const override { return "jpg"; }
    KnobSearchRule SearchRule() const override { return KnobSearchRule::WholeGrid; }
    std::vector<double> KnobGrid() const override;
    std::vector<double> Ladder() const override;

    Status Encode(const RgbImage& image, double knob, std::vector<std::uint8_t>& bytes) const override;
    Status Decode(std::span<const std::uint8_t> file, RgbImage& image) const override;
};

}  // namespace pictora
