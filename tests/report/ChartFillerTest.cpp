#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include <cmath>

#include "report/ChartFiller.h"

namespace pictora {
namespace {

using Calls = std::vector<std::string>;

std::string Text(const char* format, auto... values) {
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, format, values...);
    return buffer;
}

std::string Colour(ChartColour c) { return Text("%i,%i,%i", c.red, c.green, c.blue); }

// Records the calls a refill makes, one readable line each.
class RecordingSink : public ChartSink {
public:
    explicit RecordingSink(Calls& calls) : calls_(calls) {}
    void Lock() override { calls_.push_back("Lock"); }
    void Unlock() override { calls_.push_back("Unlock"); }
    void Clear() override { calls_.push_back("Clear"); }
    void SetOptions(bool relative, bool twoDecimals, double xScale) override {
        calls_.push_back(Text("Options %i %i %g", relative, twoDecimals, xScale));
    }
    void SetXTitle(const std::string& text) override { calls_.push_back("X " + text); }
    void SetYTitle(const std::string& text) override { calls_.push_back("Y " + text); }
    void AddLinePoint(double x, double y, ChartColour colour) override {
        calls_.push_back(Text("Line %g %g ", x, y) + Colour(colour));
        values_.push_back(y);
    }
    void AddCrossPoint(double x, double y, ChartColour colour) override {
        calls_.push_back(Text("Cross %.10g %g ", x, y) + Colour(colour));
    }

    // Every line point's y, as plotted.
    const std::vector<double>& LineValues() const { return values_; }

private:
    Calls& calls_;
    std::vector<double> values_;
};

const std::string kRed = "255,0,0";
const std::string kGreen = "0,255,0";
const std::string kBlue = "0,0,255";
const std::string kBlack = "0,0,0";

// Step r (from 1) has values that name what they are: neurons 100r + 10c
// (all channels: their sum), pSNR r + 0.05 (mean) and r + 0.06 + 0.01c per
// plane, rate (r + 0.1 + 0.01c) % per channel.
std::vector<StepResult> History(int count) {
    std::vector<StepResult> history(static_cast<std::size_t>(count));
    for (int r = 1; r <= count; ++r) {
        StepResult& result = history[static_cast<std::size_t>(r - 1)];
        result.step = r;
        result.figures.quality.psnrMean = r + 0.05;
        for (int c = 0; c < 3; ++c) {
            result.channels[c].neurons = static_cast<std::uint32_t>(100 * r + 10 * c);
            result.figures.quality.psnr[c] = r + 0.06 + 0.01 * c;
            result.channels[c].compressionRate = (r + 0.1 + 0.01 * c) / 100;
        }
    }
    return history;
}

// Channel c has counts[c] neurons; neuron i was trained 10c + i times and
// won 100c + i blocks.
NeuronTallies Tallies(std::array<int, 3> counts) {
    NeuronTallies tallies;
    for (int c = 0; c < 3; ++c)
        for (int i = 0; i < counts[c]; ++i)
            tallies[c].push_back({static_cast<std::uint32_t>(10 * c + i), static_cast<std::uint32_t>(100 * c + i)});
    return tallies;
}

Calls Fill(ResultsView view, int channelTab, const std::vector<StepResult>& history,
           std::array<int, 3> counts = {0, 0, 0}) {
    Calls calls;
    RecordingSink sink(calls);
    FillChart(sink, view, channelTab, history, Tallies(counts));
    return calls;
}

TEST(ChartFillerTest, NeuronChartPlotsTheNeuronCountsOfTheChannelTab) {
    EXPECT_EQ(Fill(ResultsView::StepNeurons, 0, History(2)),
              (Calls{"Lock", "X Passo", "Y Número de neurônios", "Clear", "Options 1 0 1", "Line 1 330 " + kBlack,
                     "Line 2 630 " + kBlack, "Unlock"}));
    const std::string colours[] = {kRed, kGreen, kBlue};
    for (int s = 1; s <= 3; ++s) {
        const Calls calls = Fill(ResultsView::StepNeurons, s, History(1));
        EXPECT_EQ(calls[5], Text("Line 1 %i ", 100 + 10 * (s - 1)) + colours[s - 1]) << s;
    }
}

TEST(ChartFillerTest, PsnrChartPlotsFullPrecisionValuesWithTwoDecimalLabels) {
    EXPECT_EQ(Fill(ResultsView::StepPsnr, 2, History(2)),
              (Calls{"Lock", "X Passo", "Y pSNR (dB)", "Clear", "Options 1 1 1", "Line 1 1.07 " + kGreen,
                     "Line 2 2.07 " + kGreen, "Unlock"}));
    EXPECT_EQ(Fill(ResultsView::StepPsnr, 0, History(1))[5], "Line 1 1.05 " + kBlack);
    // Values, never the list's two-decimal texts: 24.0706 stays 24.0706.
    std::vector<StepResult> precise = History(1);
    precise[0].figures.quality.psnrMean = 24.070648274614545;
    Calls calls;
    RecordingSink sink(calls);
    FillChart(sink, ResultsView::StepPsnr, 0, precise, {});
    EXPECT_EQ(sink.LineValues(), (std::vector<double>{24.070648274614545}));
}

TEST(ChartFillerTest, RateChartCrossesRatesTimes100WithPsnrPerChannel) {
    EXPECT_EQ(Fill(ResultsView::RatePsnr, 0, History(2)),
              (Calls{"Lock", "X Taxa de Compressão (%)", "Y pSNR (dB)", "Clear", "Options 1 1 100",
                     "Cross 110 1.06 " + kRed, "Cross 210 2.06 " + kRed, "Cross 111 1.07 " + kGreen,
                     "Cross 211 2.07 " + kGreen, "Cross 112 1.08 " + kBlue, "Cross 212 2.08 " + kBlue, "Unlock"}));
    const Calls blue = Fill(ResultsView::RatePsnr, 3, History(1));
    EXPECT_EQ(blue.size(), 7u);
    EXPECT_EQ(blue[5], "Cross 112 1.08 " + kBlue);
    EXPECT_EQ(Fill(ResultsView::RatePsnr, 1, History(1))[5], "Cross 110 1.06 " + kRed);
}

TEST(ChartFillerTest, TrainingChartPlotsTheTalliesOfEveryChannelOrOne) {
    EXPECT_EQ(Fill(ResultsView::TrainingWins, 0, History(3), {2, 0, 1}),
              (Calls{"Lock", "X Treinamento", "Y Número de vitórias", "Clear", "Options 0 0 1", "Cross 0 0 " + kRed,
                     "Cross 1 1 " + kRed, "Cross 20 200 " + kBlue, "Unlock"}));
    // One channel keeps the previous options.
    EXPECT_EQ(Fill(ResultsView::TrainingWins, 2, {}, {5, 2, 5}),
              (Calls{"Lock", "X Treinamento", "Y Número de vitórias", "Clear", "Cross 10 100 " + kGreen,
                     "Cross 11 101 " + kGreen, "Unlock"}));
    EXPECT_EQ(Fill(ResultsView::TrainingWins, 3, {}, {5, 2, 0}),
              (Calls{"Lock", "X Treinamento", "Y Número de vitórias", "Clear", "Unlock"}));
}

TEST(ChartFillerTest, TrainingCountsAreUnsigned) {
    NeuronTallies huge;
    huge[0].push_back({4294967295u, 2147483648u});
    Calls calls;
    RecordingSink sink(calls);
    FillChart(sink, ResultsView::TrainingWins, 1, {}, huge);
    EXPECT_EQ(calls[4], "Cross 4294967295 2.14748e+09 " + kRed);
}

TEST(ChartFillerTest, TheListAddsNothingAndAnEmptyHistoryGivesAnEmptyChart) {
    EXPECT_EQ(Fill(ResultsView::List, 2, History(3), {1, 1, 1}), (Calls{"Lock", "Unlock"}));
    for (ResultsView view : {ResultsView::StepNeurons, ResultsView::StepPsnr, ResultsView::RatePsnr})
        EXPECT_EQ(Fill(view, 0, {}).size(), 6u) << static_cast<int>(view);
}

TEST(ChartFillerTest, AFileReadIsPlottedAtItsPositionAndInfinityIsKept) {
    std::vector<StepResult> history = History(3);
    history[1].origin = StepOrigin::DecodedFile;
    history[0].figures.quality.psnrMean = INFINITY;
    const Calls psnr = Fill(ResultsView::StepPsnr, 0, history);
    EXPECT_EQ(Calls(psnr.begin() + 5, psnr.end() - 1),
              (Calls{"Line 1 inf " + kBlack, "Line 2 2.05 " + kBlack, "Line 3 3.05 " + kBlack}));
}

TEST(ChartFillerTest, AChannelTabOutsideTheFourCountsAsAllChannels) {
    EXPECT_EQ(Fill(ResultsView::StepPsnr, -1, History(1))[5], "Line 1 1.05 " + kBlack);
    EXPECT_EQ(Fill(ResultsView::RatePsnr, 7, History(1)).size(), 9u);
}

}  // namespace
}  // namespace pictora
