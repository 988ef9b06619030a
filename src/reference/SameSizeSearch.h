#pragma once

#include <cstdint>
#include <vector>

#include "image/RgbImage.h"
#include "reference/EncodingProgress.h"
#include "reference/ReferenceCodec.h"
#include "support/Status.h"

namespace pictora {

struct KnobTrial {
    double knob = 0;
    std::uint64_t fileBytes = 0;
};

// The outcome of a same-size search. When `fits`, `knob` is the best value
// tried whose file is no larger than the target and `bytes` is that file;
// otherwise both are empty. `trials` lists every value encoded, in order.
struct FittedEncoding {
    bool fits = false;
    double knob = 0;
    std::vector<std::uint8_t> bytes;
    std::vector<KnobTrial> trials;
};

// Finds the best knob on the codec's grid whose file of `image` is at most
// `targetBytes`. File sizes are not strictly monotone in the knob, so a cheap
// codec (KnobSearchRule::WholeGrid) encodes every grid value. A slow one is
// bisected to a boundary between a fitting value and the next, not fitting,
// one, taking the worst value as fitting and the best as not; the five grid
// values past that boundary on the better side are tried as well, and the best
// fitting value of all those tried wins. A worst value that does not fit means
// nothing fits; a best value that fits wins outright.
Status EncodeAtSize(const ReferenceCodec& codec, const RgbImage& image, std::uint64_t targetBytes,
                    FittedEncoding& result, const EncodingProgress& progress = {});

}  // namespace pictora
