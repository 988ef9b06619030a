#include "measures/BdRate.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "measures/ParetoFront.h"
#include "measures/Pchip.h"

namespace pictora {
namespace {

// Fewer points leave the end slopes resting on too little of the curve.
constexpr std::size_t kMinimumCurvePoints = 4;

// log10(bpp) as a function of quality along the front of the points with a
// positive bpp; empty when the front is too short.
std::optional<Pchip> LogRateCurve(std::span<const RateQualityPoint> points, QualityMeasure measure) {
    std::vector<RateQualityPoint> positive;
    for (const RateQualityPoint& p : points) {
        if (p.bpp > 0.0) positive.push_back(p);
    }
    const std::vector<RateQualityPoint> front = ParetoFront(positive, measure);
    if (front.size() < kMinimumCurvePoints) return std::nullopt;
    std::vector<double> quality;
    std::vector<double> logRate;
    for (const RateQualityPoint& p : front) {
        quality.push_back(*p.Quality(measure));
        logRate.push_back(std::log10(p.bpp));
    }
    Pchip curve;
    // A front's qualities increase strictly and are finite, so the fit holds.
    if (!Pchip::Fit(quality, logRate, curve).ok()) return std::nullopt;
    return curve;
}

}  // namespace

std::optional<BdRateResult> BdRate(std::span<const RateQualityPoint> tested, std::span<const RateQualityPoint> reference,
                                   QualityMeasure measure) {
    const std::optional<Pchip> testedCurve = LogRateCurve(tested, measure);
    const std::optional<Pchip> referenceCurve = LogRateCurve(reference, measure);
    if (!testedCurve || !referenceCurve) return std::nullopt;
    const double low = std::max(testedCurve->Knots().front(), referenceCurve->Knots().front());
    const double high = std::min(testedCurve->Knots().back(), referenceCurve->Knots().back());
    if (!(high > low)) return std::nullopt;
    const double d = (testedCurve->Integral(low, high) - referenceCurve->Integral(low, high)) / (high - low);
    return BdRateResult{(std::pow(10.0, d) - 1.0) * 100.0, low, high};
}

}  // namespace pictora
