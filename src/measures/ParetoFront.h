#pragma once

#include <span>
#include <vector>

#include "measures/QualityMeasure.h"
#include "measures/RateQualityPoint.h"

namespace pictora {

// The points of a family that no other point of it beats by `measure`,
// sorted by quality (ascending), which also sorts them by bpp.
//
// A point p beats q when p is no worse on both axes (p.bpp <= q.bpp and p's
// quality >= q's) and strictly better on at least one. So:
// - of two identical points one is kept;
// - at equal bpp, the higher quality wins; at equal quality, the lower bpp.
// A front therefore never holds two points of equal quality or of equal bpp:
// both its bpp and its quality increase strictly along it, which is what an
// interpolant of bpp as a function of quality needs.
//
// Points with an infinite or NaN coordinate (the pSNR of an exact
// reconstruction is infinite), or whose measure is not defined (MS-SSIM of a
// small image), are not part of any front. Of two points equal on both axes
// the first given stays.
std::vector<RateQualityPoint> ParetoFront(std::span<const RateQualityPoint> points, QualityMeasure measure);

}  // namespace pictora
