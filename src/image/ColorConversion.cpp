#include "image/ColorConversion.h"

namespace pictora {
namespace {

// Truncates toward zero; the caller guarantees the value lies within 0..255.
std::uint8_t ToSample(double value) { return static_cast<std::uint8_t>(static_cast<int>(value)); }

std::uint8_t ClampToSample(double value) {
    if (value < 0.0) return 0;
    if (value > 255.0) return 255;
    return ToSample(value);
}

}  // namespace

void RgbToYCbCr(std::uint32_t rows, std::uint32_t columns, const Plane& r, const Plane& g, const Plane& b,
                Plane& y, Plane& cb, Plane& cr) {
    for (std::uint32_t i = 0; i < rows; ++i) {
        for (std::uint32_t j = 0; j < columns; ++j) {
            const double red = r[i][j];
            const double green = g[i][j];
            const double blue = b[i][j];
            y[i][j] = ToSample(0.257 * red + 0.504 * green + 0.098 * blue + 16);
            cb[i][j] = ToSample(0.439 * blue - (0.148 * red + 0.291 * green) + 128);
            cr[i][j] = ToSample(0.439 * red - 0.368 * green - 0.071 * blue + 128);
        }
    }
}

void YCbCrToRgb(std::uint32_t rows, std::uint32_t columns, const Plane& y, const Plane& cb, const Plane& cr,
                Plane& r, Plane& g, Plane& b) {
    for (std::uint32_t i = 0; i < rows; ++i) {
        for (std::uint32_t j = 0; j < columns; ++j) {
            // All three inputs are read before any output is written: in-place use.
            const double luma = (y[i][j] - 16) * 1.1641;
            const int blueDifference = cb[i][j] - 128;
            const int redDifference = cr[i][j] - 128;
            r[i][j] = ClampToSample(luma + 1.596 * redDifference);
            g[i][j] = ClampToSample(luma - 0.813 * redDifference - 0.391 * blueDifference);
            b[i][j] = ClampToSample(luma + 2.018 * blueDifference);
        }
    }
}

}  // namespace pictora
