#pragma once

#include "reference/ReferenceCodec.h"

namespace pictora {

// Lossy JPEG XL through libjxl at effort 7, run on the calling thread only.
// The knob is the distance, 25.0 (worst) down to 0.1 (best).
class JxlCodec : public ReferenceCodec {
public:
    ReferenceCodecKind Kind() const override { return ReferenceCodecKind::Jxl; }
    std::string_view Name() const override { return "jxl"; }
    std::string_view Extension() const override { return "jxl"; }
    KnobSearchRule SearchRule() const override { return KnobSearchRule::BisectBoundary; }
    // 25.0, 24.9, ..., 0.1, each the double nearest to k / 10.
    std::vector<double> KnobGrid() const override;
    std::vector<double> Ladder() const override;

    Status Encode(const RgbImage& image, double knob, std::vector<std::uint8_t>& bytes) const override;
    Status Decode(std::span<const std::uint8_t> file, RgbImage& image) const override;
};

}  // namespace pictora
