#pragma once

#include <cstdint>

#include "image/RgbImage.h"
#include "image/RgbQuality.h"
#include "measures/ImageSimilarity.h"
#include "pipeline/StepResult.h"
#include "support/Status.h"

namespace pictora {

// The figures of one reconstruction of a source, however it was made (a
// Pictora coded image or a reference codec's file): its pSNR as the training
// job measures it, SSIM and MS-SSIM, and its file's size in bits per pixel.
struct PairFigures {
    std::uint64_t bytes = 0;
    double bpp = 0.0;
    RgbQuality quality;
    ImageSimilarity similarity;
};

// Measures `decoded`, read from a file of `bytes` bytes, against `source`;
// the two must have the same size. SSIM and MS-SSIM only for MeasureSet::All.
Status MeasurePair(const RgbImage& source, const RgbImage& decoded, std::uint64_t bytes, MeasureSet measures,
                   PairFigures& figures);

}  // namespace pictora
