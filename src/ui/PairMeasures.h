#pragma once

#include <optional>

namespace pictora {

// The owner's measures of a source/result pair; an absent value is one that
// is not (yet) known.
struct PairMeasures {
    std::optional<double> bitsPerPixel;
    std::optional<double> psnr;  // dB
    std::optional<double> ssim;
    std::optional<double> msSsim;
};

}  // namespace pictora
