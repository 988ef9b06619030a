#pragma once

#include <array>
#include <optional>

#include "measures/PlaneSimilarity.h"
#include "support/Plane.h"

namespace pictora {

// The structural similarity of an RGB reconstruction to its source: each
// plane's figures (R, G, B) and the image's, the mean of the three planes',
// empty unless all three are defined.
struct ImageSimilarity {
    std::array<PlaneSimilarity, 3> planes;
    std::optional<double> ssim;
    std::optional<double> msSsim;
};

using RgbPlanes = std::array<const Plane*, 3>;

ImageSimilarity MeasureImages(const RgbPlanes& source, const RgbPlanes& reconstruction, SimilarityMeasures measures);

}  // namespace pictora
