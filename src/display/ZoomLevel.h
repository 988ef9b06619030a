#pragma once

#include <array>

namespace pictora {

// The magnifications the comparison viewer offers. Below 1:1 there is only
// "fit", which shrinks the picture to the view; above it the steps are whole
// factors so every source pixel covers the same square of screen pixels.
enum class ZoomLevel { kFit, k1, k2, k3, k4, k6, k8, k12, k16 };

inline constexpr std::array<ZoomLevel, 9> kZoomLevels = {ZoomLevel::kFit, ZoomLevel::k1, ZoomLevel::k2,
                                                         ZoomLevel::k3,  ZoomLevel::k4, ZoomLevel::k6,
                                                         ZoomLevel::k8,  ZoomLevel::k12, ZoomLevel::k16};

// Screen pixels per source pixel; 0 for "fit", whose scale depends on the view.
int ZoomFactor(ZoomLevel level);
// The next step up or down, staying at the ends.
ZoomLevel ZoomedIn(ZoomLevel level);
ZoomLevel ZoomedOut(ZoomLevel level);
// The caption shown to the user (UTF-8): "Ajustar", "1:1", "2×", ...
const char* ZoomCaption(ZoomLevel level);

}  // namespace pictora
