#pragma once

#include <optional>
#include <string>

#include "image/RgbImage.h"
#include "measures/RealPlane.h"

namespace pictora {

// Butteraugli's distance of a reconstruction from its source, as libjxl's
// C API gives it with its own defaults: the largest distance of any pixel
// (the max norm) and the 3-norm of the distance map. Lower is better.
struct ButteraugliDistance {
    double maxNorm = 0.0;
    double norm3 = 0.0;
};

// Both images as 8-bit RGB, the source first, on the calling thread (the
// library gets no thread pool: a study spreads its pairs over the cores
// instead). Empty when the library cannot measure the pair (images of
// different sizes or without pixels, a size it refuses, no memory).
std::optional<ButteraugliDistance> MeasureButteraugli(const RgbImage& source, const RgbImage& decoded);

// The distance at every pixel, the plane the two norms above summarise:
// the source's size, each sample the library's value for that pixel (so its
// largest sample is the max norm). Empty when MeasureButteraugli would be.
std::optional<RealPlane> ButteraugliDistanceMap(const RgbImage& source, const RgbImage& decoded);

// The CSV fields ",MAX,NORM3" (reals with %.17g), or ",," when not measured.
std::string ButteraugliCsvFields(const std::optional<ButteraugliDistance>& distance);

// The library's version, "0.7.0", which its figures depend on.
std::string ButteraugliLibraryVersion();

}  // namespace pictora
