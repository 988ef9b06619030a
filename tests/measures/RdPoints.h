#pragma once

#include <vector>

#include "measures/RateQualityPoint.h"

namespace pictora::testing {

// A point of a curve as the tests write it: bpp and its quality, which they
// put in the pSNR.
struct Rd {
    double bpp = 0.0;
    double quality = 0.0;
    bool operator==(const Rd&) const = default;
};
using RdList = std::vector<Rd>;

inline std::vector<RateQualityPoint> AsPoints(const RdList& list) {
    std::vector<RateQualityPoint> points;
    for (const Rd& rd : list) {
        RateQualityPoint& point = points.emplace_back();
        point.bpp = rd.bpp;
        point.quality.psnrMean = rd.quality;
    }
    return points;
}

inline RdList AsRd(const std::vector<RateQualityPoint>& points) {
    RdList list;
    for (const RateQualityPoint& point : points) list.push_back({point.bpp, point.quality.psnrMean});
    return list;
}

}  // namespace pictora::testing
