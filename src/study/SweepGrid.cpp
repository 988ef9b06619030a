#include "study/SweepGrid.h"

#include <array>
#include <charconv>
#include <cmath>
#include <utility>

#include "support/NumberText.h"

namespace pictora {
namespace {

constexpr std::array<std::pair<std::string_view, ColorSpace>, 3> kColorSpaceNames{
    {{"rgb", ColorSpace::Rgb}, {"ycbcr444", ColorSpace::YCbCr444}, {"ycbcr420", ColorSpace::YCbCr420}}};

constexpr std::array<std::pair<std::string_view, LowPassFilter>, 5> kFilterNames{{{"none", LowPassFilter::None},
                                                                                   {"3", LowPassFilter::Box3},
                                                                                   {"5", LowPassFilter::Box5},
                                                                                   {"7", LowPassFilter::Box7},
                                                                                   {"9", LowPassFilter::Box9}}};

constexpr std::array<std::pair<std::string_view, LosslessMode>, 4> kEntropyNames{
    {{"none", LosslessMode::None},
     {"huffman", LosslessMode::Huffman},
     {"arithmetic", LosslessMode::Arithmetic},
     {"contextual", LosslessMode::Contextual}}};

template <typename T, std::size_t N>
std::string NameOf(const std::array<std::pair<std::string_view, T>, N>& names, T value) {
    for (const auto& [name, named] : names)
        if (named == value) return std::string(name);
    return {};
}

template <typename T, std::size_t N>
bool ValueNamed(const std::array<std::pair<std::string_view, T>, N>& names, std::string_view name, T& value) {
    for (const auto& [known, named] : names)
        if (known == name) {
            value = named;
            return true;
        }
    return false;
}

// The cells whose dimensions before `Index` are set in `partial`, each value
// of dimension `Index` in turn, the later ones varying faster.
template <std::size_t Index>
void AddCells(const SweepGrid& grid, SweepCell partial, std::vector<SweepCell>& cells) {
    if constexpr (Index == std::tuple_size_v<decltype(kGridDimensions)>) {
        cells.push_back(partial);
    } else {
        const auto& dimension = std::get<Index>(kGridDimensions);
        for (const auto& value : grid.*dimension.inGrid) {
            partial.*dimension.inCell = value;
            AddCells<Index + 1>(grid, partial, cells);
        }
    }
}

}  // namespace

std::vector<SweepCell> SweepGrid::Cells() const {
    std::vector<SweepCell> cells;
    AddCells<0>(*this, SweepCell{}, cells);
    return cells;
}

std::string ValueText(ColorSpace value, ValueStyle) { return NameOf(kColorSpaceNames, value); }
std::string ValueText(std::uint32_t value, ValueStyle) { return std::to_string(value); }
std::string ValueText(double value, ValueStyle style) {
    return style == ValueStyle::Exact ? FormatC("%.17g", value) : ShortestText(value);
}
std::string ValueText(LowPassFilter value, ValueStyle) { return NameOf(kFilterNames, value); }
std::string ValueText(LosslessMode value, ValueStyle) { return NameOf(kEntropyNames, value); }
std::string ValueText(CodeBy value, ValueStyle) { return CodeByName(value); }
std::string ValueText(DeblockStrength value, ValueStyle) { return std::to_string(DeblockLevel(value)); }

bool ReadColorSpace(std::string_view text, ColorSpace& value) { return ValueNamed(kColorSpaceNames, text, value); }

bool ReadBlockSide(std::string_view text, std::uint32_t& value) {
    if (text.empty() || text[0] == '-' || text[0] == '+') return false;
    std::uint32_t side = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), side);
    if (result.ec != std::errc{} || result.ptr != text.data() + text.size() || side < 2 || side > 12) return false;
    value = side;
    return true;
}

bool ReadFiniteReal(std::string_view text, double& value) {
    double read = 0.0;
    if (text.empty() || !ParseReal(text, read) || !std::isfinite(read)) return false;
    value = read;
    return true;
}

bool ReadFilter(std::string_view text, LowPassFilter& value) { return ValueNamed(kFilterNames, text, value); }
bool ReadEntropy(std::string_view text, LosslessMode& value) { return ValueNamed(kEntropyNames, text, value); }

std::string OptionName(std::string_view dimensionName) {
    std::string option = "--" + std::string(dimensionName);
    for (char& c : option)
        if (c == '_') c = '-';
    return option;
}

bool SameFamily(const SweepCell& a, const SweepCell& b) {
    bool same = true;
    ForEachGridDimension([&](const auto& dimension) {
        if (dimension.sharedByFamily) same = same && a.*dimension.inCell == b.*dimension.inCell;
    });
    return same;
}

std::string FamilyLegend(const SweepCell& family) {
    std::string legend;
    ForEachGridDimension([&](const auto& dimension) {
        if (!dimension.sharedByFamily || dimension.legend == nullptr) return;
        const std::string words = dimension.legend(family.*dimension.inCell);
        if (!words.empty()) legend += (legend.empty() ? "" : " ") + words;
    });
    return legend;
}

TrainingJob TrainingJobOf(const SweepCell& cell) {
    TrainingJob job;
    for (ChannelJob& channel : job.channels) channel.passes = 1;
    ForEachGridDimension([&](const auto& dimension) { dimension.apply(cell.*dimension.inCell, job); });
    return job;
}

}  // namespace pictora
