#pragma once

#include "display/ViewImage.h"

namespace pictora::testing {

// A width x height picture of one colour.
inline ViewImage Filled(int width, int height, RgbPixel pixel) {
    ViewImage image = ViewImage::Black(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.Set(x, y, pixel);
    return image;
}

}  // namespace pictora::testing
