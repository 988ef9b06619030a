#include "measures/PlaneSimilarity.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "measures/GaussianWindow.h"
#include "measures/RealPlane.h"
#include "measures/WindowScan.h"

namespace pictora {

namespace {

// The weight of each scale's contrast-structure term, from the full size down;
// the last one also weighs the luminance term of the coarsest scale.
constexpr std::array<double, kMsSsimScales> kScaleWeights = {0.0448, 0.2856, 0.3001, 0.2363, 0.1333};

bool SameSize(const Plane& a, const Plane& b) { return a.Height() == b.Height() && a.Width() == b.Width(); }

// A negative mean term would make its fractional power undefined; it counts
// as no similarity at all.
double ClampedPower(double term, double weight) { return std::pow(std::max(term, 0.0), weight); }

// Scales 2 .. 5 of MS-SSIM, given scale 1's mean contrast-structure term.
double CoarserScales(const Plane& a, const Plane& b, double fullSizeContrast) {
    double similarity = ClampedPower(fullSizeContrast, kScaleWeights[0]);
    RealPlane halfA = Halved(a);
    RealPlane halfB = Halved(b);
    for (std::uint32_t scale = 1; scale < kMsSsimScales; ++scale) {
        const bool coarsest = scale + 1 == kMsSsimScales;
        WindowTerms terms;
        terms.contrastStructure = true;
        terms.luminance = coarsest;
        const WindowMeans means = ScanWindows(halfA, halfB, terms);
        similarity *= ClampedPower(means.contrastStructure, kScaleWeights[scale]);
        if (coarsest) {
            similarity *= ClampedPower(means.luminance, kScaleWeights[scale]);
        } else {
            halfA = Halved(halfA);
            halfB = Halved(halfB);
        }
    }
    return similarity;
}

}  // namespace

PlaneSimilarity MeasurePlanes(const Plane& a, const Plane& b, SimilarityMeasures measures) {
    PlaneSimilarity result;
    if (!SameSize(a, b)) return result;
    const std::uint32_t shorter = std::min(a.Height(), a.Width());
    const bool wantSsim = measures != SimilarityMeasures::kMsSsim && shorter >= GaussianWindow::kSide;
    const bool wantMsSsim = measures != SimilarityMeasures::kSsim && shorter >= kMsSsimMinSide;
    if (!wantSsim && !wantMsSsim) return result;
    WindowTerms terms;
    terms.similarity = wantSsim;
    terms.contrastStructure = wantMsSsim;
    const WindowMeans fullSize = ScanWindows(a, b, terms);
    if (wantSsim) result.ssim = fullSize.similarity;
    if (wantMsSsim) result.msSsim = CoarserScales(a, b, fullSize.contrastStructure);
    return result;
}

std::optional<double> PlaneSsim(const Plane& a, const Plane& b) {
    return MeasurePlanes(a, b, SimilarityMeasures::kSsim).ssim;
}

std::optional<double> PlaneMsSsim(const Plane& a, const Plane& b) {
    return MeasurePlanes(a, b, SimilarityMeasures::kMsSsim).msSsim;
}

}  // namespace pictora
