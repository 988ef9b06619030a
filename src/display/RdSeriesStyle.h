#pragma once

#include <cstddef>

#include "display/RdChartModel.h"

namespace pictora {

struct RdSeriesStyle {
    ChartColour colour;
    RdMarker marker;
};

// The style of the index-th curve of a chart. The colours are a palette
// built to stay apart for the common kinds of colour blindness, darkest and
// most distinct first (its pale yellow last, as it is weak on white); the
// markers cycle with a period prime to the palette's, so the first 56 curves
// all differ in colour, marker or both.
RdSeriesStyle RdSeriesStyleOf(std::size_t index);

}  // namespace pictora
