#pragma once

#include "reference/ReferenceCodec.h"

namespace pictora {

// Lossy JPEG XL through libjxl at effort 7, run on the calling thread only.
// The knob is the distance, 25.0 (worst) down to 0.1 (best).
class JxlCodec : public ReferenceCodec {
public:
    ReferenceCodecKind Kind() const override { return ReferenceCodecKind::Jxl; }

    Status Encode(const RgbImage& image, double knob, std::vector<std::uint8_t>& bytes) const override;
    Status Decode(std::span<const std::uint8_t> file, RgbImage& image) const override;
};

}  // namespace pictora
