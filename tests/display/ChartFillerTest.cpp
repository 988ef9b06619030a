#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "display/ChartFiller.h"

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
    }
    void AddCrossPoint(double x, double y, ChartColour colour) override {
        calls_.push_back(Text("Cross %.10g %g ", x, y) + Colour(colour));
    }

private:
    Calls& calls_;
};

const std::string kRed = "255,0,0";
const std::string kGreen = "0,255,0";
const std::string kBlue = "0,0,255";
const std::string kBlack = "0,0,0";

// Cell c of row r reads "<r+1>.<cc>%", so a plotted value names its cell.
std::vector<ResultsListRow> Rows(int count) {
    std::vector<ResultsListRow> rows(static_cast<std::size_t>(count));
    for (int r = 0; r < count; ++r)
        for (int c = 0; c < kResultsListColumns; ++c) rows[r][c] = Text("%i.%02i%%", r + 1, c);
    return rows;
}

class ChartFillerTest : public ::testing::Test {
protected:
    // Channel c has counts[c] neurons; neuron i was trained 10c + i times and
    // won 100c + i blocks.
    NeuronStatistics Neurons(std::array<int, 3> counts) {
        return {[this, counts](int channel) {
                    calls.push_back(Text("count %i", channel));
                    return counts[channel];
                },
                [](int channel, int i) { return static_cast<std::uint32_t>(10 * channel + i); },
                [](int channel, int i) { return static_cast<std::uint32_t>(100 * channel + i); }};
    }

    Calls Fill(int chartTab, int channelTab, const std::vector<ResultsListRow>& rows,
               std::array<int, 3> counts = {0, 0, 0}) {
        calls.clear();
        RecordingSink sink(calls);
        FillChart(sink, chartTab, channelTab, rows, Neurons(counts));
        return calls;
    }

    Calls calls;
};

TEST_F(ChartFillerTest, NeuronChartPlotsTheNeuronColumnOfTheChannelTab) {
    EXPECT_EQ(Fill(2, 0, Rows(2)), (Calls{"Lock", "X Passo", "Y Número de neurônios", "Clear", "Options 1 0 1",
                                          "Line 1 1.01 " + kBlack, "Line 2 2.01 " + kBlack, "Unlock"}));
    const std::string colours[] = {kRed, kGreen, kBlue};
    for (int s = 1; s <= 3; ++s) {
        const Calls calls = Fill(2, s, Rows(1));
        EXPECT_EQ(calls[5], Text("Line 1 1.0%i ", s + 1) + colours[s - 1]) << s;
    }
}

TEST_F(ChartFillerTest, PsnrChartPlotsThePsnrColumnWithTwoDecimals) {
    EXPECT_EQ(Fill(3, 2, Rows(2)), (Calls{"Lock", "X Passo", "Y pSNR (dB)", "Clear", "Options 1 1 1",
                                          "Line 1 1.07 " + kGreen, "Line 2 2.07 " + kGreen, "Unlock"}));
    EXPECT_EQ(Fill(3, 0, Rows(1))[5], "Line 1 1.05 " + kBlack);
    EXPECT_EQ(Fill(3, 3, Rows(1))[5], "Line 1 1.08 " + kBlue);
}

TEST_F(ChartFillerTest, RateChartCrossesRatesTimes100WithPsnrPerChannel) {
    EXPECT_EQ(Fill(4, 0, Rows(2)),
              (Calls{"Lock", "X Taxa de Compressão (%)", "Y pSNR (dB)", "Clear", "Options 1 1 100",
                     "Cross 110 1.06 " + kRed, "Cross 210 2.06 " + kRed, "Cross 111 1.07 " + kGreen,
                     "Cross 211 2.07 " + kGreen, "Cross 112 1.08 " + kBlue, "Cross 212 2.08 " + kBlue, "Unlock"}));
    const Calls blue = Fill(4, 3, Rows(1));
    EXPECT_EQ(blue.size(), 7u);
    EXPECT_EQ(blue[5], "Cross 112 1.08 " + kBlue);
    EXPECT_EQ(Fill(4, 1, Rows(1))[5], "Cross 110 1.06 " + kRed);
}

TEST_F(ChartFillerTest, TrainingChartOfAllChannelsReadsTheCountsFirst) {
    EXPECT_EQ(Fill(1, 0, Rows(3), {2, 0, 1}),
              (Calls{"Lock", "X Treinamento", "Y Número de vitórias", "Clear", "Options 0 0 1", "count 0", "count 1",
                     "count 2", "Cross 0 0 " + kRed, "Cross 1 1 " + kRed, "Cross 20 200 " + kBlue, "Unlock"}));
}

TEST_F(ChartFillerTest, TrainingChartOfOneChannelKeepsThePreviousOptions) {
    EXPECT_EQ(Fill(1, 2, {}, {5, 2, 5}), (Calls{"Lock", "X Treinamento", "Y Número de vitórias", "Clear", "count 1",
                                                "Cross 10 100 " + kGreen, "Cross 11 101 " + kGreen, "Unlock"}));
    EXPECT_EQ(Fill(1, 3, {}, {5, 2, 0}),
              (Calls{"Lock", "X Treinamento", "Y Número de vitórias", "Clear", "count 2", "Unlock"}));
}

TEST_F(ChartFillerTest, TrainingCountsAreUnsigned) {
    const NeuronStatistics huge{[](int) { return 1; }, [](int, int) { return 4294967295u; },
                                [](int, int) { return 2147483648u; }};
    RecordingSink sink(calls);
    FillChart(sink, 1, 1, {}, huge);
    EXPECT_EQ(calls[4], "Cross 4294967295 2.14748e+09 " + kRed);
}

TEST_F(ChartFillerTest, TheListTabAddsNothing) {
    EXPECT_EQ(Fill(0, 2, Rows(3), {1, 1, 1}), (Calls{"Lock", "Unlock"}));
}

TEST_F(ChartFillerTest, EmptyListGivesAnEmptyChart) {
    for (int t = 2; t <= 4; ++t) EXPECT_EQ(Fill(t, 0, {}).size(), 6u) << t;
}

TEST_F(ChartFillerTest, CellsAreReadByTheirLeadingNumberAndRowsByPosition) {
    std::vector<ResultsListRow> rows = Rows(3);
    rows[1][0] = "---";  // a decoded file, plotted at its list position
    rows[1][1] = "57 (3)";
    rows[2][1] = "---";
    const Calls neurons = Fill(2, 0, rows);
    EXPECT_EQ(Calls(neurons.begin() + 5, neurons.end() - 1),
              (Calls{"Line 1 1.01 " + kBlack, "Line 2 57 " + kBlack, "Line 3 0 " + kBlack}));
    rows[0][5] = "inf";
    EXPECT_EQ(Fill(3, 0, rows)[5], "Line 1 inf " + kBlack);
}

TEST_F(ChartFillerTest, AChannelTabOutsideTheFourCountsAsAllChannels) {
    EXPECT_EQ(Fill(3, -1, Rows(1))[5], "Line 1 1.05 " + kBlack);
    EXPECT_EQ(Fill(4, 7, Rows(1)).size(), 9u);
}

}  // namespace
}  // namespace pictora
