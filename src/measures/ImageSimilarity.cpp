#include "measures/ImageSimilarity.h"

namespace pictora {

namespace {

std::optional<double> MeanOfPlanes(const std::array<std::optional<double>, 3>& values) {
    if (!values[0] || !values[1] || !values[2]) return std::nullopt;
    return ((*values[0] + *values[1]) + *values[2]) / 3.0;
}

}  // namespace

ImageSimilarity MeasureImages(const RgbPlanes& source, const RgbPlanes& reconstruction, SimilarityMeasures measures) {
    ImageSimilarity result;
    std::array<std::optional<double>, 3> ssim;
    std::array<std::optional<double>, 3> msSsim;
    for (std::size_t c = 0; c < 3; ++c) {
        result.planes[c] = MeasurePlanes(*source[c], *reconstruction[c], measures);
        ssim[c] = result.planes[c].ssim;
        msSsim[c] = result.planes[c].msSsim;
    }
    result.ssim = MeanOfPlanes(ssim);
    result.msSsim = MeanOfPlanes(msSsim);
    return result;
}

}  // namespace pictora
