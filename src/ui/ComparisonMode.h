#pragma once

#include <array>
#include <optional>
#include <QString>

namespace pictora {

enum class ComparisonMode {
    kSideBySide,  // source and result in two panes that move together
    kSplit,       // one pane, source left of a draggable line, result right of it
    kDifference,  // |source - result|, amplified
    kSsimMap,     // the local SSIM of the pair as a heat map
    kButteraugliMap,  // Butteraugli's distance at each pixel as a heat map
};

inline constexpr std::array<ComparisonMode, 5> kComparisonModes = {
    ComparisonMode::kSideBySide, ComparisonMode::kSplit, ComparisonMode::kDifference, ComparisonMode::kSsimMap,
    ComparisonMode::kButteraugliMap};

// The mode's button caption, with its Alt accelerator marked by '&'.
QString ComparisonModeCaption(ComparisonMode mode);
// The name the viewer's settings store, so a stored mode survives a
// reordering of the enumeration.
QString ComparisonModeKey(ComparisonMode mode);
std::optional<ComparisonMode> ComparisonModeOfKey(const QString& key);

}  // namespace pictora
