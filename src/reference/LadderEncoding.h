#pragma once

#include <cstdint>
#include <vector>

#include "image/RgbImage.h"
#include "reference/EncodingProgress.h"
#include "reference/ReferenceCodec.h"
#include "support/Status.h"

namespace pictora {

struct LadderRung {
    double knob = 0;
    std::vector<std::uint8_t> bytes;
};

// Encodes `image` at every value of the codec's ladder, worst first, for a
// rate-distortion curve; `rungs` is replaced only when every encoding succeeds.
Status EncodeLadder(const ReferenceCodec& codec, const RgbImage& image, std::vector<LadderRung>& rungs,
                    const EncodingProgress& progress = {});

}  // namespace pictora
