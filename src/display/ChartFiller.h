#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "display/ChartSink.h"
#include "display/ResultsViews.h"

namespace pictora {

// What the training chart reads of the three codebooks: per channel its
// neuron count and, for each neuron i, how often it was trained and how many
// blocks it won.
struct NeuronStatistics {
    std::function<int(int channel)> count;
    std::function<std::uint32_t(int channel, int i)> trainings;
    std::function<std::uint32_t(int channel, int i)> wins;
};

// The statistics of anything that answers GetNeuronCount, GetNeuronTrainings
// and GetNeuronWins (the compressor), read while `source` lives.
template <typename Source>
NeuronStatistics NeuronStatisticsOf(const Source& source) {
    return {[&source](int channel) { return source.GetNeuronCount(channel); },
            [&source](int channel, int i) { return static_cast<std::uint32_t>(source.GetNeuronTrainings(channel, i)); },
            [&source](int channel, int i) { return static_cast<std::uint32_t>(source.GetNeuronWins(channel, i)); }};
}

// Refills `chart` under its lock for results tab `chartTab` (1 trainings ×
// wins per neuron, 2 neurons per step, 3 pSNR per step, 4 compression rate ×
// pSNR; 0, the list, adds nothing) and source channel tab `channelTab`
// (0 all channels in black or in their own colours, 1 to 3 one channel in
// red, green or blue; any other counts as 0). Per-step values are the leading
// numbers of the list cells; step numbers are the row positions from 1.
void FillChart(ChartSink& chart, int chartTab, int channelTab, const std::vector<ResultsListRow>& rows,
               const NeuronStatistics& neurons);

}  // namespace pictora
