#pragma once

#include <cstdint>
#include <vector>

#include "image/RgbImage.h"

namespace pictora {

struct RgbPixel {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    bool operator==(const RgbPixel&) const = default;
};

// An image as the comparison viewer handles it: rows from the top, each pixel
// three bytes red, green, blue, no row padding. An empty image (no pixels) is
// valid and means "nothing to show".
struct ViewImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;

    bool Empty() const { return width <= 0 || height <= 0; }
    // (x, y) must lie inside the image.
    RgbPixel At(int x, int y) const;
    void Set(int x, int y, RgbPixel pixel);
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }

    // A width x height image of black pixels; a side of 0 or less gives an empty image.
    static ViewImage Black(int width, int height);
};

// The three planes of an RgbImage interleaved; planes that do not match the
// image's size give an empty image.
ViewImage ViewImageOf(const RgbImage& image);

}  // namespace pictora
