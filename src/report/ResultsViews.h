#pragma once

#include <array>
#include <string>

namespace pictora {

// The results of a run are shown in one of five views chosen by the results
// tab strip, in this order: the results list, then four charts.
enum class ResultsView { List, TrainingWins, StepNeurons, StepPsnr, RatePsnr };
inline constexpr int kResultsViewCount = 5;
inline constexpr int kResultsListColumns = 15;

// The view of a tab of the results strip (the list for none).
ResultsView ResultsViewOfTab(int tab);

// The captions of the results tab strip, in order (UTF-8).
const std::array<const char*, kResultsViewCount>& ResultsTabCaptions();

// The widths of the fifteen list columns for a list of `clientWidth` pixels:
// clientWidth × k / 300 each, truncated, with k from 15 to 35 per column, so
// together they take 297/300 of the width.
std::array<int, kResultsListColumns> ResultsColumnWidths(int clientWidth);

// The channel icon shown in header item `item`: (item - 1) mod 4 for items
// 1 to 12 (0 the three-band swatch, 1 red, 2 green, 3 blue); -1, no icon, for
// the others.
int ResultsHeaderImage(int item);

}  // namespace pictora
