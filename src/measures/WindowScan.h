#pragma once

#include <vector>

#include "measures/RealPlane.h"
#include "measures/WindowTerms.h"
#include "support/Plane.h"

namespace pictora {

// Means over every window position of the maps a scan was asked for; the
// others stay 0.
struct WindowMeans {
    double similarity = 0.0;
    double contrastStructure = 0.0;
    double luminance = 0.0;
};

// Slides the Gaussian window over every position where it lies wholly inside
// a pair of planes of the same size, both sides at least GaussianWindow::kSide,
// and averages the terms asked for. Bands of rows run on all cores; each row
// is summed on its own and the row sums are added top to bottom, so the result
// does not depend on how many threads ran. With `similarityMap` the per-window
// similarity is also kept there, row-major, (height - 10) x (width - 10).
WindowMeans ScanWindows(const Plane& a, const Plane& b, WindowTerms terms,
                        std::vector<double>* similarityMap = nullptr);
WindowMeans ScanWindows(const RealPlane& a, const RealPlane& b, WindowTerms terms);

}  // namespace pictora
