#pragma once

#include "reference/ReferenceCodec.h"

namespace pictora {

// AVIF through libavif with the AV1 encoder its build carries: 8-bit 4:2:0
// at speed 6, RGB to YUV and back by libavif's own conversion. The knob is
// the quantizer of the colour planes, 63 (worst) to 0 (best).
class AvifCodec : public ReferenceCodec {
public:
    ReferenceCodecKind Kind() const override { return ReferenceCodecKind::Avif; }

    Status Encode(const RgbImage& image, double knob, std::vector<std::uint8_t>& bytes) const override;
    Status Decode(std::span<const std::uint8_t> file, RgbImage& image) const override;

    // The AV1 encoder libavif picks, for reports; empty when it has none.
    static std::string EncoderName();
};

}  // namespace pictora
