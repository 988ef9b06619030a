#include "display/ChartFiller.h"

#include <array>

#include "display/LeadingNumber.h"

namespace pictora {
namespace {

// The colour of a channel tab: all channels in black, then R/Y, G/Cb, B/Cr.
constexpr std::array<ChartColour, 4> kTabColours = {kChartBlack, kChartRed, kChartGreen, kChartBlue};
constexpr int kChannelCount = 3;
// Columns of the results list: first neuron count, first pSNR, first
// compression rate; each is followed by the three per-channel ones.
constexpr int kNeuronsColumn = 1;
constexpr int kPsnrColumn = 5;
constexpr int kRateColumn = 9;
// Compression rates are plotted in hundredths of a per cent, and the x labels
// divided back into per cent.
constexpr double kRateFactor = 100.0;

double Cell(const ResultsListRow& row, int column) { return LeadingNumber(row[static_cast<std::size_t>(column)]); }

void AddNeuronCrosses(ChartSink& chart, const NeuronStatistics& neurons, int channel, int count) {
    for (int i = 0; i < count; ++i)
        chart.AddCrossPoint(neurons.trainings(channel, i), neurons.wins(channel, i), kTabColours[channel + 1]);
}

void FillTrainingChart(ChartSink& chart, int channelTab, const NeuronStatistics& neurons) {
    chart.SetXTitle("Treinamento");
    chart.SetYTitle("Número de vitórias");
    chart.Clear();
    if (channelTab != 0) {
        const int channel = channelTab - 1;
        AddNeuronCrosses(chart, neurons, channel, neurons.count(channel));
        return;
    }
    chart.SetOptions(false, false, 1.0);
    std::array<int, kChannelCount> counts{};
    for (int channel = 0; channel < kChannelCount; ++channel) counts[channel] = neurons.count(channel);
    for (int channel = 0; channel < kChannelCount; ++channel)
        AddNeuronCrosses(chart, neurons, channel, counts[channel]);
}

void FillStepChart(ChartSink& chart, const char* yTitle, bool twoDecimals, int column, ChartColour colour,
                   const std::vector<ResultsListRow>& rows) {
    chart.SetXTitle("Passo");
    chart.SetYTitle(yTitle);
    chart.Clear();
    chart.SetOptions(true, twoDecimals, 1.0);
    for (std::size_t r = 0; r < rows.size(); ++r)
        chart.AddLinePoint(static_cast<double>(r + 1), Cell(rows[r], column), colour);
}

void FillRateChart(ChartSink& chart, int channelTab, const std::vector<ResultsListRow>& rows) {
    chart.SetXTitle("Taxa de Compressão (%)");
    chart.SetYTitle("pSNR (dB)");
    chart.Clear();
    chart.SetOptions(true, true, kRateFactor);
    const int first = channelTab == 0 ? 1 : channelTab;
    const int last = channelTab == 0 ? kChannelCount : channelTab;
    for (int k = first; k <= last; ++k)
        for (const ResultsListRow& row : rows)
            chart.AddCrossPoint(kRateFactor * Cell(row, kRateColumn + k), Cell(row, kPsnrColumn + k), kTabColours[k]);
}

}  // namespace

void FillChart(ChartSink& chart, int chartTab, int channelTab, const std::vector<ResultsListRow>& rows,
               const NeuronStatistics& neurons) {
    const int s = channelTab >= 0 && channelTab <= kChannelCount ? channelTab : 0;
    chart.Lock();
    switch (chartTab) {
        case 1:
            FillTrainingChart(chart, s, neurons);
            break;
        case 2:
            FillStepChart(chart, "Número de neurônios", false, kNeuronsColumn + s, kTabColours[s], rows);
            break;
        case 3:
            FillStepChart(chart, "pSNR (dB)", true, kPsnrColumn + s, kTabColours[s], rows);
            break;
        case 4:
            FillRateChart(chart, s, rows);
            break;
        default:
            break;
    }
    chart.Unlock();
}

}  // namespace pictora
