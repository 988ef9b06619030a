#pragma once

#include <cstddef>
#include <cstdint>

namespace pictora {

// Which per-window maps a scan produces: the similarity itself (SSIM), its
// contrast-structure factor and its luminance factor. Each map costs a
// division per window, so a scan asks only for what its scale needs.
struct WindowTerms {
    bool similarity = false;
    bool contrastStructure = false;
    bool luminance = false;
};

// The Gaussian-weighted moments a window needs, kept as arrays `stride`
// doubles apart in one buffer, in this order: means of a, b, a^2, b^2, ab.
inline constexpr std::size_t kMomentCount = 5;

// The samples a row of windows is filtered from, in one buffer: the row k of
// moment m's samples (a, b, a^2, b^2, ab) starts at
// data + m * momentStride + k * rowStride.
struct SampleRows {
    const double* data = nullptr;
    std::size_t rowStride = 0;
    std::size_t momentStride = 0;
};

// Where a row of window terms goes; a pointer of a term not asked for is unused.
struct TermRows {
    double* similarity = nullptr;
    double* contrastStructure = nullptr;
    double* luminance = nullptr;
};

}  // namespace pictora
