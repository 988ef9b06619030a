#include "display/ButteraugliOverlay.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "display/HeatScale.h"
#include "support/Truncate.h"

namespace pictora {
namespace {

// The lowest top of the scale; see ButteraugliScale.
constexpr double kLowestTop = 3.0;
// At most this many ticks on the axis, so that their labels stay apart on a
// strip of a few hundred rows.
constexpr int kMaxTicks = 6;
constexpr double kThresholds[] = {1.0, 2.0};

}  // namespace

std::vector<double> ButteraugliScale::Marks() const {
    std::vector<double> marks = {0.0, Top()};
    const auto add = [&marks](double value) {
        if (std::find(marks.begin(), marks.end(), value) == marks.end()) marks.push_back(value);
    };
    for (double threshold : kThresholds)
        if (threshold < Top()) add(threshold);
    for (double tick : axis.Ticks()) add(tick);
    return marks;
}

std::string ButteraugliScale::Label(double mark) const {
    std::array<char, 64> buffer{};
    const auto result =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), mark, std::chars_format::fixed, axis.decimals);
    return std::string(buffer.data(), result.ptr);
}

ButteraugliScale ButteraugliScaleOf(double largestDistance) {
    const double covered = std::isfinite(largestDistance) ? std::max(largestDistance, kLowestTop) : kLowestTop;
    return {NiceScaleOf(0.0, covered, kMaxTicks)};
}

RgbPixel ButteraugliColour(double distance, const ButteraugliScale& scale) {
    const double fraction = std::isnan(distance) ? 0.0 : std::clamp(distance / scale.Top(), 0.0, 1.0);
    return HeatColour(static_cast<std::uint8_t>(TruncateToInt64(fraction * 255)));
}

ViewImage ButteraugliPicture(const RealPlane& map, const ButteraugliScale& scale) {
    ViewImage picture = ViewImage::Black(static_cast<int>(map.Width()), static_cast<int>(map.Height()));
    for (std::uint32_t y = 0; y < map.Height(); ++y)
        for (std::uint32_t x = 0; x < map.Width(); ++x)
            picture.Set(static_cast<int>(x), static_cast<int>(y), ButteraugliColour(map.Row(y)[x], scale));
    return picture;
}

int ButteraugliScaleRow(const ButteraugliScale& scale, double value, int height) {
    const double fraction = std::clamp(value / scale.Top(), 0.0, 1.0);
    return static_cast<int>(TruncateToInt64((height - 1) * (1.0 - fraction) + 0.5));
}

ViewImage ButteraugliScaleImage(const ButteraugliScale& scale, int width, int height) {
    ViewImage strip = ViewImage::Black(width, height);
    for (int y = 0; y < height; ++y) {
        const double value = height > 1 ? scale.Top() * (height - 1 - y) / (height - 1) : scale.Top();
        const RgbPixel colour = ButteraugliColour(value, scale);
        for (int x = 0; x < width; ++x) strip.Set(x, y, colour);
    }
    return strip;
}

std::vector<double> LegibleMarks(const ButteraugliScale& scale, int height, int textHeight) {
    std::vector<double> kept;
    std::vector<int> rows;
    for (double mark : scale.Marks()) {
        const int row = ButteraugliScaleRow(scale, mark, height);
        const bool clear = std::all_of(rows.begin(), rows.end(), [&](int taken) { return std::abs(taken - row) >= textHeight; });
        if (!clear) continue;
        kept.push_back(mark);
        rows.push_back(row);
    }
    return kept;
}

}  // namespace pictora
