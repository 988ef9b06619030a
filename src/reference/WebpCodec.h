#pragma once

#include "reference/ReferenceCodec.h"

namespace pictora {

// Lossy WebP through libwebp: the default preset at method 4. The knob is the
// quality, 0 to 100.
class WebpCodec : public ReferenceCodec {
public:
    ReferenceCodecKind Kind() const override { return ReferenceCodecKind::Webp; }

    Status Encode(const RgbImage& image, double knob, std::vector<std::uint8_t>& bytes) const override;
    Status Decode(std::span<const std::uint8_t> file, RgbImage& image) const override;
};

}  // namespace pictora
