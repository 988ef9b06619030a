#pragma once

#include <array>
#include <string>

namespace pictora {

// The results of a run are shown in one of six views chosen by the results
// tab strip, in this order: the results list, four charts of the run, then
// the run's rate-distortion chart against the reference codecs.
enum class ResultsView { List, TrainingWins, StepNeurons, StepPsnr, RatePsnr, RateDistortion };
inline constexpr int kResultsViewCount = 6;
inline constexpr int kResultsListColumns = 18;

// The view of a tab of the results strip (the list for none).
ResultsView ResultsViewOfTab(int tab);

// The captions of the results tab strip, in order (UTF-8).
const std::array<const char*, kResultsViewCount>& ResultsTabCaptions();

// The widths of the list columns for a list of `clientWidth` pixels. The
// fifteen step columns keep their shares k (15 to 35) of each other; bpp,
// SSIM and MS-SSIM follow. Each is clientWidth × k / 354, truncated, so the
// columns together take 351/354 of the width, as much as the fifteen took of
// it before (297/300).
std::array<int, kResultsListColumns> ResultsColumnWidths(int clientWidth);

// The channel icon shown in header item `item`: (item - 1) mod 4 for items
// 1 to 12 (0 the three-band swatch, 1 red, 2 green, 3 blue); -1, no icon, for
// the others.
int ResultsHeaderImage(int item);

}  // namespace pictora
