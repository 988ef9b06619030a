#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "image/BoxFilter.h"
#include "image/ColorSpace.h"

namespace pictora::cli {

// One combination of Pictora settings in a sweep, each value used for all
// three channels.
struct SweepCell {
    ColorSpace colorSpace = ColorSpace::Rgb;
    std::uint32_t blockSide = 8;
    double radius = 0.1;
    double alfa = 0.1;
    LowPassFilter filter = LowPassFilter::None;
};

// The alternatives of every setting; the sweep trains their product.
struct SweepGrid {
    std::vector<ColorSpace> colorSpaces{ColorSpace::Rgb};
    std::vector<std::uint32_t> blockSides{8};
    std::vector<double> radii{0.1};
    std::vector<double> alfas{0.1};
    std::vector<LowPassFilter> filters{LowPassFilter::None};

    // Every cell, colour space varying slowest and filter fastest, each
    // setting's alternatives in the order given.
    std::vector<SweepCell> Cells() const;
};

// The names the command line and the results use for the settings.
std::string_view ColorSpaceName(ColorSpace colorSpace);
std::string_view FilterName(LowPassFilter filter);
std::optional<ColorSpace> ColorSpaceNamed(std::string_view name);
std::optional<LowPassFilter> FilterNamed(std::string_view name);

}  // namespace pictora::cli
