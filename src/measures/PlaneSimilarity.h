#pragma once

#include <cstdint>
#include <optional>

#include "support/Plane.h"

namespace pictora {

enum class SimilarityMeasures { kSsim, kMsSsim, kBoth };

// The structural similarity of one plane pair at full size (SSIM) and over
// five scales (MS-SSIM). A figure is empty when the planes differ in size or
// are too small for it: SSIM needs both sides of at least 11 samples, MS-SSIM
// a shorter side of at least 176, where the fifth scale still holds a window.
struct PlaneSimilarity {
    std::optional<double> ssim;
    std::optional<double> msSsim;
};

inline constexpr std::uint32_t kMsSsimScales = 5;
inline constexpr std::uint32_t kMsSsimMinSide = 176;

// Computing both together shares the full-size pass, whose windows give the
// SSIM map and MS-SSIM's first contrast-structure term at once.
PlaneSimilarity MeasurePlanes(const Plane& a, const Plane& b, SimilarityMeasures measures);

std::optional<double> PlaneSsim(const Plane& a, const Plane& b);
std::optional<double> PlaneMsSsim(const Plane& a, const Plane& b);

}  // namespace pictora
