#include "display/SsimOverlay.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "display/HeatScale.h"
#include "support/Truncate.h"

namespace pictora {
namespace {

// Dims the picture's pixel to a grey at half its luma.
RgbPixel DimGrey(RgbPixel pixel) {
    const double luma = 0.299 * pixel.red + 0.587 * pixel.green + 0.114 * pixel.blue;
    const auto level = static_cast<std::uint8_t>(TruncateToInt64(luma / 2));
    return {level, level, level};
}

}  // namespace

RgbPixel SsimColour(double value) {
    const double clamped = std::isnan(value) ? 0.0 : std::clamp(value, 0.0, 1.0);
    return HeatColour(static_cast<std::uint8_t>(TruncateToInt64(clamped * 255)));
}

ViewImage SsimOverlay(const SsimMap& map, const ViewImage& picture) {
    ViewImage overlay = picture;
    for (int y = 0; y < overlay.height; ++y)
        for (int x = 0; x < overlay.width; ++x) overlay.Set(x, y, DimGrey(overlay.At(x, y)));
    if (map.Empty()) return overlay;
    constexpr int kOffset = static_cast<int>(SsimMap::kCentreOffset);
    const std::int64_t rows = std::min<std::int64_t>(map.rows, overlay.height - kOffset);
    const std::int64_t columns = std::min<std::int64_t>(map.columns, overlay.width - kOffset);
    for (std::int64_t r = 0; r < rows; ++r)
        for (std::int64_t c = 0; c < columns; ++c)
            overlay.Set(static_cast<int>(c) + kOffset, static_cast<int>(r) + kOffset,
                        SsimColour(map.values[static_cast<std::size_t>(r) * map.columns + static_cast<std::size_t>(c)]));
    return overlay;
}

ViewImage SsimScaleImage(int width, int height) {
    ViewImage scale = ViewImage::Black(width, height);
    for (int y = 0; y < scale.height; ++y) {
        const double value = scale.height > 1 ? static_cast<double>(scale.height - 1 - y) / (scale.height - 1) : 1.0;
        const RgbPixel colour = SsimColour(value);
        for (int x = 0; x < scale.width; ++x) scale.Set(x, y, colour);
    }
    return scale;
}

}  // namespace pictora
