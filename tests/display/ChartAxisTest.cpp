#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>
#include <vector>

#include "display/ChartAxis.h"

namespace pictora {
namespace {

TEST(ChartAxisTest, XDivisionsAreTheLargestDivisorOfTheStepSpanUpTo20) {
    const std::pair<double, int> cases[] = {{7, 6},   {23, 11},    {21, 20},     {2, 1},     {42, 1},
                                            {1, 20},  {0, 1},      {1234.5, 10}, {0.25, 10}, {1e300, 10}};
    for (const auto& [maxX, divisions] : cases) EXPECT_EQ(XDivisions(maxX), divisions) << maxX;
}

TEST(ChartAxisTest, YDivisionsAreFiveOrTheWholePartOfASmallerMaximumButOne) {
    const std::pair<double, int> cases[] = {{12.5, 5}, {5, 5}, {4.9, 4}, {3, 3}, {1, 1}, {0.5, 1}, {0, 1}};
    for (const auto& [maxY, divisions] : cases) EXPECT_EQ(YDivisions(maxY), divisions) << maxY;
}

struct AxisCase {
    bool relative;
    std::vector<std::pair<double, double>> points;
    double xLow, xHigh;
    int xDivisions;
    double yLow, yHigh;
    int yDivisions;
};

TEST(ChartAxisTest, AxesSpanTheFiniteExtremesOrASaneRange) {
    constexpr double kInf = std::numeric_limits<double>::infinity();
    const AxisCase cases[] = {
        {true, {{2, 30.5}, {7, 28}, {9, kInf}}, 2, 7, 6, 28, 30.5, 5},
        {false, {{2, 3}, {7, 1}}, 0, 7, 6, 0, 3, 3},
        // The minimum starts at 10000, not at the first point.
        {true, {{20001, 15000}, {30001, 16000}}, 10000, 30001, 20, 10000, 16000, 5},
        // One step: a relative axis widens to one unit either side.
        {true, {{1, 345}}, 0, 2, 2, 344, 346, 2},
        // Absolute axes whose largest value is 0 run to 1.
        {false, {{0, 0}}, 0, 1, 1, 0, 1, 1},
        // No finite point: the extremes never moved.
        {true, {{1, kInf}, {std::nan(""), 2}}, 0, 1, 1, 0, 1, 1},
    };
    for (const AxisCase& c : cases) {
        ChartModel model;
        model.SetOptions(c.relative, false, 1.0);
        for (const auto& [x, y] : c.points) model.AddPoint(ChartPointKind::Cross, x, y, kChartBlack);
        const ChartAxis x = XAxisOf(model);
        const ChartAxis y = YAxisOf(model);
        EXPECT_EQ(x.relative, c.relative);
        EXPECT_EQ(std::tuple(x.low, x.high, x.divisions), std::tuple(c.xLow, c.xHigh, c.xDivisions)) << c.xHigh;
        EXPECT_EQ(std::tuple(y.low, y.high, y.divisions), std::tuple(c.yLow, c.yHigh, c.yDivisions)) << c.yHigh;
    }
}

}  // namespace
}  // namespace pictora
