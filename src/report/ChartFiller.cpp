#include "report/ChartFiller.h"

#include <array>

namespace pictora {
namespace {

// The colour of a channel tab: all channels in black, then R/Y, G/Cb, B/Cr.
constexpr std::array<ChartColour, 4> kTabColours = {kChartBlack, kChartRed, kChartGreen, kChartBlue};
constexpr int kChannelCount = 3;
// Compression rates are plotted in hundredths of a per cent, and the x labels
// divided back into per cent.
constexpr double kRateFactor = 100.0;

// Per-step values for a channel tab: tab 0 the whole image, 1 to 3 a channel.
double Neurons(const StepResult& result, int tab) {
    return tab == 0 ? result.TotalNeurons() : result.channels[static_cast<std::size_t>(tab - 1)].neurons;
}

double Psnr(const StepResult& result, int tab) {
    return tab == 0 ? result.figures.quality.psnrMean : result.figures.quality.psnr[static_cast<std::size_t>(tab - 1)];
}

double RatePercent(const StepResult& result, int tab) {
    const double rate =
        tab == 0 ? result.compressionRate : result.channels[static_cast<std::size_t>(tab - 1)].compressionRate;
    return rate * 100;
}

void AddNeuronCrosses(ChartSink& chart, const std::vector<NeuronTally>& neurons, int channel) {
    for (const NeuronTally& neuron : neurons)
        chart.AddCrossPoint(neuron.trainings, neuron.wins, kTabColours[static_cast<std::size_t>(channel + 1)]);
}

void FillTrainingChart(ChartSink& chart, int channelTab, const NeuronTallies& tallies) {
    chart.SetXTitle("Treinamento");
    chart.SetYTitle("Número de vitórias");
    chart.Clear();
    if (channelTab != 0) {
        const int channel = channelTab - 1;
        AddNeuronCrosses(chart, tallies[static_cast<std::size_t>(channel)], channel);
        return;
    }
    chart.SetOptions(false, false, 1.0);
    for (int channel = 0; channel < kChannelCount; ++channel)
        AddNeuronCrosses(chart, tallies[static_cast<std::size_t>(channel)], channel);
}

template <typename Value>
void FillStepChart(ChartSink& chart, const char* yTitle, bool twoDecimals, int tab, Value value,
                   const std::vector<StepResult>& history) {
    chart.SetXTitle("Passo");
    chart.SetYTitle(yTitle);
    chart.Clear();
    chart.SetOptions(true, twoDecimals, 1.0);
    for (std::size_t r = 0; r < history.size(); ++r)
        chart.AddLinePoint(static_cast<double>(r + 1), value(history[r], tab), kTabColours[static_cast<std::size_t>(tab)]);
}

void FillRateChart(ChartSink& chart, int channelTab, const std::vector<StepResult>& history) {
    chart.SetXTitle("Taxa de Compressão (%)");
    chart.SetYTitle("pSNR (dB)");
    chart.Clear();
    chart.SetOptions(true, true, kRateFactor);
    const int first = channelTab == 0 ? 1 : channelTab;
    const int last = channelTab == 0 ? kChannelCount : channelTab;
    for (int k = first; k <= last; ++k)
        for (const StepResult& result : history)
            chart.AddCrossPoint(kRateFactor * RatePercent(result, k), Psnr(result, k),
                                kTabColours[static_cast<std::size_t>(k)]);
}

}  // namespace

void FillChart(ChartSink& chart, ResultsView view, int channelTab, const std::vector<StepResult>& history,
               const NeuronTallies& tallies) {
    const int s = channelTab >= 0 && channelTab <= kChannelCount ? channelTab : 0;
    chart.Lock();
    switch (view) {
        case ResultsView::TrainingWins: FillTrainingChart(chart, s, tallies); break;
        case ResultsView::StepNeurons: FillStepChart(chart, "Número de neurônios", false, s, Neurons, history); break;
        case ResultsView::StepPsnr: FillStepChart(chart, "pSNR (dB)", true, s, Psnr, history); break;
        case ResultsView::RatePsnr: FillRateChart(chart, s, history); break;
        case ResultsView::List:
        case ResultsView::RateDistortion: break;  // not drawn by the chart window
    }
    chart.Unlock();
}

}  // namespace pictora
