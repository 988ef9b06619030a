#include "display/ZoomLevel.h"

#include <cstddef>

namespace pictora {
namespace {

constexpr std::array<int, kZoomLevels.size()> kFactors = {0, 1, 2, 3, 4, 6, 8, 12, 16};
constexpr std::array<const char*, kZoomLevels.size()> kCaptions = {
    "Ajustar", "1:1", "2×", "3×", "4×", "6×", "8×", "12×", "16×"};

std::size_t IndexOf(ZoomLevel level) { return static_cast<std::size_t>(level); }

}  // namespace

int ZoomFactor(ZoomLevel level) { return kFactors[IndexOf(level)]; }

ZoomLevel ZoomedIn(ZoomLevel level) {
    const std::size_t index = IndexOf(level);
    return index + 1 < kZoomLevels.size() ? kZoomLevels[index + 1] : level;
}

ZoomLevel ZoomedOut(ZoomLevel level) {
    const std::size_t index = IndexOf(level);
    return index > 0 ? kZoomLevels[index - 1] : level;
}

const char* ZoomCaption(ZoomLevel level) { return kCaptions[IndexOf(level)]; }

}  // namespace pictora
