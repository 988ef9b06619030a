#pragma once

#include "display/ChartModel.h"

namespace pictora {

// One axis as painted: the values at its two ends and its grid divisions.
// Relative axes run from `low` to `high`; absolute ones from 0 to `high`.
struct ChartAxis {
    bool relative = false;
    double low = 0.0;
    double high = 1.0;
    int divisions = 1;

    // A value's distance from the axis origin in drawing units, the axis
    // being `length` units long.
    double Scale(double value, double length) const;
};

// The x divisions for a largest x of `maxX`: the largest n from 20 down to 1
// that divides trunc(maxX) - 1, so step numbers 1..maxX fall on grid lines
// (20 for maxX = 1, 1 for maxX = 0). A largest x that is not a whole number
// has no such n and gets 10.
int XDivisions(double maxX);
// The y divisions: 5, or trunc(maxY) when that is smaller, but at least 1.
int YDivisions(double maxY);

// The axes of a chart. An axis whose range is empty still gets a sane one:
// an absolute axis whose largest value is not above 0 runs from 0 to 1; a
// relative axis whose values are all equal runs from one below to one above
// them in 2 divisions; a relative axis without any finite point, from 0 to 1.
ChartAxis XAxisOf(const ChartModel& model);
ChartAxis YAxisOf(const ChartModel& model);

}  // namespace pictora
