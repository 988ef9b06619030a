#include "display/RdMarkerOutline.h"

#include <cmath>
#include <numbers>

namespace pictora {
namespace {

// The twelve corners of a plus whose arms reach `radius` from the centre,
// a little over a third of it thick either side, turned by `angle` radians.
std::vector<FigurePoint> PlusOutline(double x, double y, double radius, double angle) {
    const double arm = radius * 0.36;
    const FigurePoint corners[] = {{-arm, -radius}, {arm, -radius}, {arm, -arm},  {radius, -arm},
                                    {radius, arm},   {arm, arm},     {arm, radius}, {-arm, radius},
                                    {-arm, arm},     {-radius, arm}, {-radius, -arm}, {-arm, -arm}};
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    std::vector<FigurePoint> outline;
    for (const FigurePoint& p : corners) outline.push_back({x + p.x * c - p.y * s, y + p.x * s + p.y * c});
    return outline;
}

}  // namespace

std::vector<FigurePoint> RdMarkerOutline(RdMarker marker, double x, double y, double radius) {
    // Shapes of unequal extent at the same radius look unequal in size; the
    // factors even out their areas roughly.
    switch (marker) {
        case RdMarker::Circle:
            return {};
        case RdMarker::Square: {
            const double half = radius * 0.8;
            return {{x - half, y - half}, {x + half, y - half}, {x + half, y + half}, {x - half, y + half}};
        }
        case RdMarker::TriangleUp: {
            const double r = radius * 1.2;
            return {{x, y - r}, {x + r * 0.866, y + r * 0.5}, {x - r * 0.866, y + r * 0.5}};
        }
        case RdMarker::TriangleDown: {
            const double r = radius * 1.2;
            return {{x, y + r}, {x - r * 0.866, y - r * 0.5}, {x + r * 0.866, y - r * 0.5}};
        }
        case RdMarker::Diamond: {
            const double r = radius * 1.1;
            return {{x, y - r}, {x + r * 0.75, y}, {x, y + r}, {x - r * 0.75, y}};
        }
        case RdMarker::Plus:
            return PlusOutline(x, y, radius * 1.15, 0.0);
        case RdMarker::Cross:
            return PlusOutline(x, y, radius * 1.2, std::numbers::pi / 4.0);
    }
    return {};
}

}  // namespace pictora
