#include "display/RdSeriesStyle.h"

#include <array>

namespace pictora {
namespace {

constexpr std::array<ChartColour, 8> kPalette = {{
    {0, 114, 178},    // blue
    {213, 94, 0},     // vermilion
    {0, 158, 115},    // bluish green
    {204, 121, 167},  // reddish purple
    {230, 159, 0},    // orange
    {86, 180, 233},   // sky blue
    {0, 0, 0},        // black
    {240, 228, 66},   // yellow
}};

constexpr std::array<RdMarker, 7> kMarkers = {RdMarker::Circle,       RdMarker::Square, RdMarker::TriangleUp,
                                              RdMarker::Diamond,      RdMarker::TriangleDown,
                                              RdMarker::Plus,         RdMarker::Cross};

}  // namespace

RdSeriesStyle RdSeriesStyleOf(std::size_t index) {
    return {kPalette[index % kPalette.size()], kMarkers[index % kMarkers.size()]};
}

}  // namespace pictora
