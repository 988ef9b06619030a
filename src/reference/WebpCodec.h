#pragma once

#include "reference/ReferenceCodec.h"

namespace pictora {

// Lossy WebP through libwebp: the default preset at method 4. The knob is the
// quality, 0 to 100.
class WebpCodec : public ReferenceCodec {
public:
    ReferenceCodecKind Kind() const override { return ReferenceCodecKind::Webp; }
    std::string_view Name() const override { return "webp"; }
    std::string_view Extension() const override { return "webp"; }
    KnobSearchRule SearchRule() const override { return KnobSearchRule::WholeGrid; }
    std::vector<double> KnobGrid() const override;
    std::vector<double> Ladder() const override;

    Status Encode(const RgbImage& image, double knob, std::vector<std::uint8_t>& bytes) const override;
    Status Decode(std::span<const std::uint8_t> file, RgbImage& image) const override;
};

}  // namespace pictora
