#pragma once

#include <optional>
#include <span>

#include "measures/QualityMeasure.h"
#include "measures/RateQualityPoint.h"

namespace pictora {

struct BdRateResult {
    // Per cent; positive when the tested curve needs more bits than the
    // reference for the same quality.
    double percent = 0.0;
    // The range of quality both curves cover, over which they are compared.
    double overlapLow = 0.0;
    double overlapHigh = 0.0;
};

// The Bjøntegaard delta rate of `tested` against `reference` by `measure`: on
// each curve log10(bpp) as the PCHIP of quality, both integrated exactly over the
// overlap of their quality ranges; d is the difference of the integrals
// (tested minus reference) over the overlap's width, and the result
// (10^d - 1) x 100.
//
// Each curve is taken as the Pareto front of the points given, so a family's
// raw points or its front give the same answer; points whose bpp is not above
// zero have no logarithm and are left out first. Empty when either front has
// fewer than 4 points or the overlap has no width.
std::optional<BdRateResult> BdRate(std::span<const RateQualityPoint> tested, std::span<const RateQualityPoint> reference,
                                   QualityMeasure measure);

}  // namespace pictora
