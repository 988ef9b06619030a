#include "measures/ParetoFront.h"

#include <algorithm>
#include <cmath>

namespace pictora {

// Sorted by bpp ascending and, at equal bpp, quality descending, a point is on
// the front exactly when its quality exceeds that of every point before it:
// those are the only points that can beat it.
std::vector<RateQualityPoint> ParetoFront(std::span<const RateQualityPoint> points, QualityMeasure measure) {
    struct Ranked {
        double bpp;
        double quality;
        const RateQualityPoint* point;
    };
    std::vector<Ranked> sorted;
    sorted.reserve(points.size());
    for (const RateQualityPoint& p : points) {
        const std::optional<double> quality = p.Quality(measure);
        if (quality && std::isfinite(p.bpp) && std::isfinite(*quality)) sorted.push_back({p.bpp, *quality, &p});
    }
    std::stable_sort(sorted.begin(), sorted.end(), [](const Ranked& a, const Ranked& b) {
        if (a.bpp != b.bpp) return a.bpp < b.bpp;
        return a.quality > b.quality;
    });
    std::vector<RateQualityPoint> front;
    double best = 0.0;
    for (const Ranked& p : sorted) {
        if (front.empty() || p.quality > best) {
            front.push_back(*p.point);
            best = p.quality;
        }
    }
    return front;
}

}  // namespace pictora
