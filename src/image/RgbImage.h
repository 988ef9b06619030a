#pragma once

#include <cstdint>

#include "support/Plane.h"

namespace pictora {

// An image as three 8-bit planes of height x width samples: a plain value,
// read from and written to files by the functions of PngImage.h.
struct RgbImage {
    // Gives the image zero-filled planes of that (non-negative) size, ready
    // to be filled; an image already of that size is left as it is.
    void Resize(std::int32_t newHeight, std::int32_t newWidth);
    // Whether the three planes have the image's size.
    bool PlanesMatchSize() const;

    std::int32_t height = 0;
    std::int32_t width = 0;
    Plane red;
    Plane green;
    Plane blue;
};

}  // namespace pictora
