#include "study/SweepGrid.h"

#include <array>
#include <utility>

namespace pictora::cli {
namespace {

constexpr std::array<std::pair<std::string_view, ColorSpace>, 3> kColorSpaceNames{
    {{"rgb", ColorSpace::Rgb}, {"ycbcr444", ColorSpace::YCbCr444}, {"ycbcr420", ColorSpace::YCbCr420}}};

constexpr std::array<std::pair<std::string_view, LowPassFilter>, 5> kFilterNames{{{"none", LowPassFilter::None},
                                                                                   {"3", LowPassFilter::Box3},
                                                                                   {"5", LowPassFilter::Box5},
                                                                                   {"7", LowPassFilter::Box7},
                                                                                   {"9", LowPassFilter::Box9}}};

template <typename T, std::size_t N>
std::string_view NameOf(const std::array<std::pair<std::string_view, T>, N>& names, T value) {
    for (const auto& [name, named] : names)
        if (named == value) return name;
    return {};
}

template <typename T, std::size_t N>
std::optional<T> ValueNamed(const std::array<std::pair<std::string_view, T>, N>& names, std::string_view name) {
    for (const auto& [known, value] : names)
        if (known == name) return value;
    return std::nullopt;
}

}  // namespace

std::vector<SweepCell> SweepGrid::Cells() const {
    std::vector<SweepCell> cells;
    for (ColorSpace colorSpace : colorSpaces)
        for (std::uint32_t side : blockSides)
            for (double radius : radii)
                for (double alfa : alfas)
                    for (LowPassFilter filter : filters) cells.push_back({colorSpace, side, radius, alfa, filter});
    return cells;
}

std::string_view ColorSpaceName(ColorSpace colorSpace) { return NameOf(kColorSpaceNames, colorSpace); }
std::string_view FilterName(LowPassFilter filter) { return NameOf(kFilterNames, filter); }
std::optional<ColorSpace> ColorSpaceNamed(std::string_view name) { return ValueNamed(kColorSpaceNames, name); }
std::optional<LowPassFilter> FilterNamed(std::string_view name) { return ValueNamed(kFilterNames, name); }

}  // namespace pictora::cli
