#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "display/NiceScale.h"
#include "display/RdSeriesStyle.h"

namespace pictora {
namespace {

std::vector<std::string> LabelsOf(const NiceScale& scale) {
    std::vector<std::string> labels;
    for (const double tick : scale.Ticks()) labels.push_back(scale.Label(tick));
    return labels;
}

TEST(NiceScaleTest, StepsAreOneTwoOrFiveTimesAPowerOfTenAndCoverTheRange) {
    struct Case {
        double minimum, maximum;
        int maxTicks;
        double low, high, step;
    };
    const Case cases[] = {
        {0.13, 1.87, 6, 0.0, 2.0, 0.5},    {0.13, 1.87, 11, 0.0, 2.0, 0.2},  {23.4, 41.2, 8, 20.0, 45.0, 5.0},
        {0.912, 0.994, 6, 0.9, 1.0, 0.02}, {-3.0, 7.0, 3, -10.0, 10.0, 10.0},  {120.0, 980.0, 4, 0.0, 1000.0, 500.0},
        // 0.2 is the rough step, but rounding the ends out to it needs 6 intervals.
        {0.15, 1.05, 6, 0.0, 1.5, 0.5},
        // Ends that are multiples of the step are not rounded out by an ulp.
        {0.0, 0.9, 10, 0.0, 0.9, 0.1},
    };
    for (const Case& c : cases) {
        const NiceScale scale = NiceScaleOf(c.minimum, c.maximum, c.maxTicks);
        EXPECT_DOUBLE_EQ(scale.step, c.step) << c.minimum << ".." << c.maximum;
        EXPECT_DOUBLE_EQ(scale.low, c.low) << c.minimum << ".." << c.maximum;
        EXPECT_DOUBLE_EQ(scale.high, c.high) << c.minimum << ".." << c.maximum;
        EXPECT_LE(static_cast<int>(scale.Ticks().size()), c.maxTicks);
    }
}

TEST(NiceScaleTest, LabelsAreExactShortAndUseAPointInAnyLocale) {
    // The process may run in a locale with a decimal comma; labels must not follow it.
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous != nullptr ? previous : "C";
    std::setlocale(LC_NUMERIC, "pt_BR.UTF-8");
    EXPECT_EQ(LabelsOf(NiceScaleOf(0.0, 0.9, 10)),
              (std::vector<std::string>{"0.0", "0.1", "0.2", "0.3", "0.4", "0.5", "0.6", "0.7", "0.8", "0.9"}));
    EXPECT_EQ(LabelsOf(NiceScaleOf(-0.3, 0.3, 4)), (std::vector<std::string>{"-0.5", "0.0", "0.5"}));
    EXPECT_EQ(NiceScaleOf(-0.3, 0.3, 4).Label(-1e-17), "0.0");
    EXPECT_EQ(LabelsOf(NiceScaleOf(24.0, 41.0, 5)), (std::vector<std::string>{"20", "30", "40", "50"}));
    EXPECT_EQ(LabelsOf(NiceScaleOf(0.9, 1.0, 6)),
              (std::vector<std::string>{"0.90", "0.92", "0.94", "0.96", "0.98", "1.00"}));
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(NiceScaleTest, EmptyOrUnboundedRangesStillGiveAnAxis) {
    const NiceScale single = NiceScaleOf(30.0, 30.0, 6);
    EXPECT_LT(single.low, 30.0);
    EXPECT_GT(single.high, 30.0);
    const NiceScale zero = NiceScaleOf(0.0, 0.0, 6);
    EXPECT_LE(zero.low, -1.0);
    EXPECT_GE(zero.high, 1.0);
    const NiceScale unbounded = NiceScaleOf(0.0, std::numeric_limits<double>::infinity(), 6);
    EXPECT_EQ(unbounded.low, 0.0);
    EXPECT_EQ(unbounded.high, 1.0);
    const NiceScale swapped = NiceScaleOf(5.0, 1.0, 5);
    EXPECT_LE(swapped.low, 1.0);
    EXPECT_GE(swapped.high, 5.0);
}

TEST(RdSeriesStyleTest, TheFirstFiftySixCurvesAllLookDifferent) {
    for (std::size_t i = 0; i < 56; ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            const RdSeriesStyle a = RdSeriesStyleOf(i);
            const RdSeriesStyle b = RdSeriesStyleOf(j);
            EXPECT_FALSE(a.colour == b.colour && a.marker == b.marker) << i << " and " << j;
        }
    }
    // The first eight differ in colour alone, none of them white.
    for (std::size_t i = 0; i < 8; ++i) {
        EXPECT_NE(RdSeriesStyleOf(i).colour, (ChartColour{255, 255, 255}));
        for (std::size_t j = 0; j < i; ++j) EXPECT_NE(RdSeriesStyleOf(i).colour, RdSeriesStyleOf(j).colour);
    }
}

}  // namespace
}  // namespace pictora
