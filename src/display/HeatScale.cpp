#include "display/HeatScale.h"

#include <array>
#include <cstddef>

#include "support/Truncate.h"

namespace pictora {
namespace {

struct Anchor {
    int value;
    double red, green, blue;
};

constexpr std::array<Anchor, 5> kAnchors = {{
    {0, 16, 8, 48},
    {64, 72, 36, 140},
    {128, 200, 60, 90},
    {192, 245, 150, 40},
    {255, 252, 252, 190},
}};

std::uint8_t Between(double from, double to, double t) {
    return static_cast<std::uint8_t>(TruncateToInt64(from + (to - from) * t));
}

}  // namespace

RgbPixel HeatColour(std::uint8_t value) {
    std::size_t upper = 1;
    while (upper + 1 < kAnchors.size() && kAnchors[upper].value < value) ++upper;
    const Anchor& a = kAnchors[upper - 1];
    const Anchor& b = kAnchors[upper];
    const double t = static_cast<double>(value - a.value) / (b.value - a.value);
    return {Between(a.red, b.red, t), Between(a.green, b.green, t), Between(a.blue, b.blue, t)};
}

}  // namespace pictora
