#include "display/ChartAxis.h"

#include <cmath>
#include <cstdint>

namespace pictora {
namespace {

constexpr int kMostXDivisions = 20;
constexpr int kFractionalXDivisions = 10;
constexpr int kMostYDivisions = 5;
// Beyond this a double no longer holds every whole number.
constexpr double kLargestWholeX = 9007199254740992.0;

ChartAxis AxisOf(bool relative, double minimum, double maximum, int divisions) {
    if (!relative) return {false, 0.0, maximum > 0.0 ? maximum : 1.0, divisions};
    if (maximum > minimum) return {true, minimum, maximum, divisions};
    if (maximum == minimum) return {true, minimum - 1.0, maximum + 1.0, 2};
    // No finite point: the extremes are still the initial 10000 and 0.
    return {true, 0.0, 1.0, 1};
}

}  // namespace

double ChartAxis::Scale(double value, double length) const {
    return relative ? (value - low) * length / (high - low) : value / high * length;
}

int XDivisions(double maxX) {
    if (maxX != std::trunc(maxX) || std::fabs(maxX) > kLargestWholeX) return kFractionalXDivisions;
    const std::int64_t span = static_cast<std::int64_t>(maxX) - 1;
    int n = kMostXDivisions;
    while (span % n != 0) --n;
    return n;
}

int YDivisions(double maxY) {
    if (maxY >= kMostYDivisions) return kMostYDivisions;
    return maxY >= 1.0 ? static_cast<int>(maxY) : 1;
}

ChartAxis XAxisOf(const ChartModel& model) {
    return AxisOf(model.Relative(), model.MinX(), model.MaxX(), XDivisions(model.MaxX()));
}

ChartAxis YAxisOf(const ChartModel& model) {
    return AxisOf(model.Relative(), model.MinY(), model.MaxY(), YDivisions(model.MaxY()));
}

}  // namespace pictora
