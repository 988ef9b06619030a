#pragma once

#include <string>
#include <vector>

#include "display/NiceScale.h"
#include "display/ViewImage.h"
#include "measures/RealPlane.h"

namespace pictora {

// The linear scale a Butteraugli distance map is coloured on, from 0 to
// `axis.high`: the map's largest distance rounded up to a nice value, and
// never below 3, so that a map of faint differences (all under the usual
// threshold of visibility, about 1) stays dark instead of being stretched to
// full brightness.
struct ButteraugliScale {
    NiceScale axis;

    double Top() const { return axis.high; }
    // The values the legend may write, most wanted first: the ends, then the
    // usual thresholds 1 (about where a difference becomes visible) and 2
    // (clearly visible), then the other ticks of the axis.
    std::vector<double> Marks() const;
    // A mark as the legend writes it, with the axis's decimals and a point
    // as separator whatever the locale (a threshold below half the axis's
    // step still reads as itself, not as 0).
    std::string Label(double mark) const;
};

ButteraugliScale ButteraugliScaleOf(double largestDistance);

// The colour of a distance on the heat scale: 0 the darkest, the scale's top
// and beyond the brightest; NaN reads as 0.
RgbPixel ButteraugliColour(double distance, const ButteraugliScale& scale);

// The map as a picture of its own size, each pixel coloured by its distance.
ViewImage ButteraugliPicture(const RealPlane& map, const ButteraugliScale& scale);

// The legend's strip: the top of the scale at the first row, 0 at the last.
ViewImage ButteraugliScaleImage(const ButteraugliScale& scale, int width, int height);
// The row of the strip at which a value lies.
int ButteraugliScaleRow(const ButteraugliScale& scale, double value, int height);
// Marks() less those whose label would overlap one already kept, the
// labels being `textHeight` rows tall and centred on their rows.
std::vector<double> LegibleMarks(const ButteraugliScale& scale, int height, int textHeight);

}  // namespace pictora
