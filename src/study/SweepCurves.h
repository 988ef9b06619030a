#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "study/SweepGrid.h"
#include "study/SweepPoint.h"
#include "measures/QualityMeasure.h"
#include "measures/RateQualityPoint.h"

namespace pictora::cli {

// The points of one curve of an image, before the Pareto front is taken: a
// Pictora family (one colour space, block, ALFA and filter, all radii and
// steps) or one codec's ladder.
struct SweepCurve {
    std::optional<SweepCell> family;  // the family's settings (its radius means nothing); empty for a codec
    std::string codec;
    std::vector<RateQualityPoint> points;
    // The legend's text: "rgb 8×8 ALFA 0.1" (and the filter unless none), or the codec.
    std::string Label() const;
};

struct ImageCurves {
    std::string image;
    std::vector<SweepCurve> families;    // in the grid's order
    std::vector<SweepCurve> references;  // in the codecs' order
};

// The curves of every image, images and curves in the order their first
// points come.
std::vector<ImageCurves> GroupCurves(const std::vector<SweepPoint>& points);

// bd-rate.csv: every family against every codec of its image, by pSNR then
// by MS-SSIM, with an empty rate and overlap where BD-rate is not defined.
std::string FormatBdRateCsv(const std::vector<ImageCurves>& images);

}  // namespace pictora::cli
