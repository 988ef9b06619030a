#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "image/RgbImage.h"
#include "image/RgbQuality.h"
#include "measures/Butteraugli.h"
#include "measures/ImageSimilarity.h"
#include "measures/QualityMeasure.h"
#include "support/Status.h"

namespace pictora {

// Which measures a point carries: pSNR and rates always; SSIM and MS-SSIM
// unless a speed-critical run asks for pSNR only; Butteraugli, which is slow,
// only when asked for, with all the others.
enum class MeasureSet { PsnrOnly, All, AllAndButteraugli };

// The measure sets by the names the command line gives them (--measures).
struct MeasureSetName {
    std::string_view name;
    MeasureSet set;
};
inline constexpr MeasureSetName kMeasureSetNames[] = {
    {"all", MeasureSet::All}, {"psnr", MeasureSet::PsnrOnly}, {"butteraugli", MeasureSet::AllAndButteraugli}};
std::string_view NameOf(MeasureSet set);

// One coded result of a source on the rate–quality plane, however it was made
// (a training step, a coded file, a reference codec's rung): the size of its
// stored file and that size in bits per pixel, its pSNR as the training job
// measures it, SSIM and MS-SSIM (empty when not asked for or not defined for
// the image's size), Butteraugli's distances (empty unless asked for).
struct RateQualityPoint {
    std::uint64_t bytes = 0;
    double bpp = 0.0;
    RgbQuality quality;
    ImageSimilarity similarity;
    std::optional<ButteraugliDistance> butteraugli;

    // The point's quality by `measure`, higher is better: the mean pSNR,
    // MS-SSIM, or minus Butteraugli's 3-norm, each when defined.
    std::optional<double> Quality(QualityMeasure measure) const {
        switch (measure) {
            case QualityMeasure::Psnr: return quality.psnrMean;
            case QualityMeasure::MsSsim: return similarity.msSsim;
            case QualityMeasure::Butteraugli:
                return butteraugli ? std::optional<double>(-butteraugli->norm3) : std::nullopt;
        }
        return std::nullopt;
    }
};

// Measures `decoded`, read from a file of `bytes` bytes, against `source`;
// the two must have the same size. SSIM and MS-SSIM unless
// MeasureSet::PsnrOnly, Butteraugli only for MeasureSet::AllAndButteraugli.
Status MeasurePair(const RgbImage& source, const RgbImage& decoded, std::uint64_t bytes, MeasureSet measures,
                   RateQualityPoint& point);

}  // namespace pictora
