#pragma once

#include <cstdint>
#include <string>

namespace pictora {

// A pen colour of the chart, as red, green and blue intensities.
struct ChartColour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    bool operator==(const ChartColour&) const = default;
};

inline constexpr ChartColour kChartBlack{0, 0, 0};
inline constexpr ChartColour kChartRed{255, 0, 0};
inline constexpr ChartColour kChartGreen{0, 255, 0};
inline constexpr ChartColour kChartBlue{0, 0, 255};

// What the results views draw into: one x-y chart, rebuilt from Clear on
// every refill. The chart window implements it; tests record the calls.
class ChartSink {
public:
    virtual ~ChartSink() = default;

    // Held around a whole refill, so a paint never sees a half-built chart.
    virtual void Lock() = 0;
    virtual void Unlock() = 0;

    // Forgets the points, extremes and the relative and two-decimals options;
    // keeps the titles and the x scale.
    virtual void Clear() = 0;
    // `relative`: the axes run from the smallest to the largest value instead
    // of from 0. `twoDecimals`: relative y labels with two decimals.
    // `xScale`: divisor of the relative x labels.
    virtual void SetOptions(bool relative, bool twoDecimals, double xScale) = 0;
    // Titles are UTF-8.
    virtual void SetXTitle(const std::string& text) = 0;
    virtual void SetYTitle(const std::string& text) = 0;
    // Line points form one polyline in the order added; crosses stand alone.
    virtual void AddLinePoint(double x, double y, ChartColour colour) = 0;
    virtual void AddCrossPoint(double x, double y, ChartColour colour) = 0;
};

}  // namespace pictora
