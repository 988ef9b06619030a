#pragma once

#include <span>
#include <vector>

#include "measures/RdPoint.h"

namespace pictora {

// The points of a family that no other point of it beats, sorted by quality
// (ascending), which also sorts them by bpp.
//
// A point p beats q when p is no worse on both axes (p.bpp <= q.bpp and
// p.quality >= q.quality) and strictly better on at least one. So:
// - of two identical points one is kept;
// - at equal bpp, the higher quality wins; at equal quality, the lower bpp.
// A front therefore never holds two points of equal quality or of equal bpp:
// both its bpp and its quality increase strictly along it, which is what an
// interpolant of bpp as a function of quality needs.
//
// Points with an infinite or NaN coordinate (the pSNR of an exact
// reconstruction is infinite) are not part of any front.
std::vector<RdPoint> ParetoFront(std::span<const RdPoint> points);

}  // namespace pictora
