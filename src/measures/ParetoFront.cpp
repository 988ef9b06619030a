#include "measures/ParetoFront.h"

#include <algorithm>
#include <cmath>

namespace pictora {

// Sorted by bpp ascending and, at equal bpp, quality descending, a point is on
// the front exactly when its quality exceeds that of every point before it:
// those are the only points that can beat it.
std::vector<RdPoint> ParetoFront(std::span<const RdPoint> points) {
    std::vector<RdPoint> sorted;
    sorted.reserve(points.size());
    for (const RdPoint& p : points) {
        if (std::isfinite(p.bpp) && std::isfinite(p.quality)) sorted.push_back(p);
    }
    std::sort(sorted.begin(), sorted.end(), [](const RdPoint& a, const RdPoint& b) {
        if (a.bpp != b.bpp) return a.bpp < b.bpp;
        return a.quality > b.quality;
    });
    std::vector<RdPoint> front;
    for (const RdPoint& p : sorted) {
        if (front.empty() || p.quality > front.back().quality) front.push_back(p);
    }
    return front;
}

}  // namespace pictora
