#pragma once

#include <cstdint>
#include <optional>

#include "image/RgbImage.h"
#include "image/RgbQuality.h"
#include "measures/ImageSimilarity.h"
#include "measures/QualityMeasure.h"
#include "support/Status.h"

namespace pictora {

// Which measures a point carries: pSNR and rates always; SSIM and MS-SSIM
// unless a speed-critical run asks for pSNR only.
enum class MeasureSet { PsnrOnly, All };

// One coded result of a source on the rate–quality plane, however it was made
// (a training step, a coded file, a reference codec's rung): the size of its
// stored file and that size in bits per pixel, its pSNR as the training job
// measures it, SSIM and MS-SSIM (empty when not asked for or not defined for
// the image's size).
struct RateQualityPoint {
    std::uint64_t bytes = 0;
    double bpp = 0.0;
    RgbQuality quality;
    ImageSimilarity similarity;

    // The point's quality by `measure`: the mean pSNR, or MS-SSIM when defined.
    std::optional<double> Quality(QualityMeasure measure) const {
        if (measure == QualityMeasure::Psnr) return quality.psnrMean;
        return similarity.msSsim;
    }
};

// Measures `decoded`, read from a file of `bytes` bytes, against `source`;
// the two must have the same size. SSIM and MS-SSIM only for MeasureSet::All.
Status MeasurePair(const RgbImage& source, const RgbImage& decoded, std::uint64_t bytes, MeasureSet measures,
                   RateQualityPoint& point);

}  // namespace pictora
