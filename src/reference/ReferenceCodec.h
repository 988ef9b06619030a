#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "image/RgbImage.h"
#include "reference/ReferenceCodecTable.h"
#include "support/Status.h"

namespace pictora {

// The most pixels a reference file may announce before Decode refuses it; the
// same bound as PNG input, so a decoded reference is never larger than a photo
// the workbench could have loaded.
inline constexpr std::uint64_t kMaxReferencePixels = std::uint64_t{1} << 28;

// A standard lossy codec, run in memory through its own library, that the
// workbench compares its coded images against. The knob is the codec's one
// quality setting (quality, quantizer or distance); the grid lists every value
// the comparison may use, worst first. Names, knob and ladder are the codec's
// entry in kReferenceCodecs.
class ReferenceCodec {
public:
    virtual ~ReferenceCodec() = default;

    virtual ReferenceCodecKind Kind() const = 0;
    const ReferenceCodecTraits& Traits() const { return TraitsOf(Kind()); }
    std::string_view Name() const { return Traits().name; }
    std::string_view Extension() const { return Traits().extension; }
    // The search rule and the grid are virtual only so that tests can lay out
    // grids of their own.
    virtual KnobSearchRule SearchRule() const { return Traits().searchRule; }
    // Every knob value from the worst to the best.
    virtual std::vector<double> KnobGrid() const { return Traits().Grid(); }
    // The knob values of a rate-distortion curve, worst first.
    std::vector<double> Ladder() const { return {Traits().ladder.begin(), Traits().ladder.end()}; }

    // Replaces `bytes` with the file of `image` at `knob`; a knob off the
    // codec's range or an image without pixels is refused.
    virtual Status Encode(const RgbImage& image, double knob, std::vector<std::uint8_t>& bytes) const = 0;
    // Fills `image` with the decoded picture; on refusal `image` is unchanged.
    virtual Status Decode(std::span<const std::uint8_t> file, RgbImage& image) const = 0;

    // The shortest text that reads back as the same knob: "75", "0.7", "1.5".
    static std::string KnobText(double knob);

protected:
    // Refuses a knob that is not a whole number on the codec's grid.
    Status CheckWholeKnob(double knob) const;
};

}  // namespace pictora
