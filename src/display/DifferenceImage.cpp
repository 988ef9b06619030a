#include "display/DifferenceImage.h"

#include <algorithm>
#include <cstdlib>

#include "display/HeatScale.h"

namespace pictora {

ViewImage DifferenceImage(const ViewImage& a, const ViewImage& b, int amplification, DifferenceStyle style) {
    ViewImage difference = ViewImage::Black(std::min(a.width, b.width), std::min(a.height, b.height));
    const int gain = std::max(amplification, 1);
    for (int y = 0; y < difference.height; ++y) {
        for (int x = 0; x < difference.width; ++x) {
            const RgbPixel p = a.At(x, y);
            const RgbPixel q = b.At(x, y);
            const int largest = std::max({std::abs(p.red - q.red), std::abs(p.green - q.green), std::abs(p.blue - q.blue)});
            const auto level = static_cast<std::uint8_t>(std::min(largest * gain, 255));
            difference.Set(x, y, style == DifferenceStyle::kGrey ? RgbPixel{level, level, level} : HeatColour(level));
        }
    }
    return difference;
}

}  // namespace pictora
