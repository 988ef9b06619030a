#pragma once

#include <vector>

#include "display/FigurePoint.h"
#include "display/RdChartModel.h"

namespace pictora {

// The corners of a marker centred on (x, y) with `radius` the distance to
// its farthest corner, clockwise on screen, for the writers to fill as one
// polygon. A circle has no corners: the writers draw it as a circle.
std::vector<FigurePoint> RdMarkerOutline(RdMarker marker, double x, double y, double radius);

}  // namespace pictora
