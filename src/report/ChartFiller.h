#pragma once

#include <vector>

#include "display/ChartSink.h"
#include "pipeline/StepResult.h"
#include "report/ResultsViews.h"

namespace pictora {

// Refills `chart` under its lock for results view `view` and source channel
// tab `channelTab` (0 all channels in black or in their own colours, 1 to 3
// one channel in red, green or blue; any other counts as 0), from values: the
// run's step results in list order (step numbers are the positions from 1)
// and the codebooks' tallies handed over with the latest result. The list
// view adds nothing.
void FillChart(ChartSink& chart, ResultsView view, int channelTab, const std::vector<StepResult>& history,
               const NeuronTallies& tallies);

}  // namespace pictora
