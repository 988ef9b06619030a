#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "image/RgbImage.h"
#include "support/Status.h"

namespace pictora {

enum class ReferenceCodecKind { Jpeg, Webp, Avif, Jxl };

// How the same-size search walks a codec's knob grid: a cheap encoder can
// afford every grid value, a slow one is bisected to the fit boundary.
enum class KnobSearchRule { WholeGrid, BisectBoundary };

// The most pixels a reference file may announce before Decode refuses it; the
// same bound as PNG input, so a decoded reference is never larger than a photo
// the workbench could have loaded.
inline constexpr std::uint64_t kMaxReferencePixels = std::uint64_t{1} << 28;

// A standard lossy codec, run in memory through its own library, that the
// workbench compares its coded images against. The knob is the codec's one
// quality setting (quality, quantizer or distance); the grid lists every value
// the comparison may use, worst first.
class ReferenceCodec {
public:
    virtual ~ReferenceCodec() = default;

    virtual ReferenceCodecKind Kind() const = 0;
    virtual std::string_view Name() const = 0;
    virtual std::string_view Extension() const = 0;
    virtual KnobSearchRule SearchRule() const = 0;
    // Every knob value from the worst to the best.
    virtual std::vector<double> KnobGrid() const = 0;
    // The knob values of a rate-distortion curve, worst first.
    virtual std::vector<double> Ladder() const = 0;

    // Replaces `bytes` with the file of `image` at `knob`; a knob off the
    // codec's range or an image without pixels is refused.
    virtual Status Encode(const RgbImage& image, double knob, std::vector<std::uint8_t>& bytes) const = 0;
    // Fills `image` with the decoded picture; on refusal `image` is unchanged.
    virtual Status Decode(std::span<const std::uint8_t> file, RgbImage& image) const = 0;

    // The shortest text that reads back as the same knob: "75", "0.7", "1.5".
    static std::string KnobText(double knob);

protected:
    // Refuses a knob that is not a whole number within lowest..highest.
    Status CheckWholeKnob(std::string_view knobName, double knob, int lowest, int highest) const;
};

}  // namespace pictora
