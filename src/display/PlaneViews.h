#pragma once

#include <cstdint>
#include <memory>

#include "display/DisplayBitmap.h"
#include "display/MaskSampler.h"
#include "support/Plane.h"

namespace pictora {

// The views the displays are made of, each over the top-left rows x columns
// region of its planes. A plane smaller than the region gives no bitmap.

using DisplayPointer = std::shared_ptr<const DisplayBitmap>;

// The plane's value in all three colours.
DisplayPointer GreyView(const BitmapInfoHeader& fixed, const Plane& plane, std::uint32_t rows,
                        std::uint32_t columns);

DisplayPointer ColourView(const BitmapInfoHeader& fixed, const Plane& red, const Plane& green, const Plane& blue,
                          std::uint32_t rows, std::uint32_t columns);

// The channel in grey, its marked pixels in one colour (0 red, 1 green,
// 2 blue) at the mask's value.
DisplayPointer MarkedChannelView(const BitmapInfoHeader& fixed, const Plane& channel, const MaskSampler& marks,
                                 int markColour, std::uint32_t rows, std::uint32_t columns);

// The colour image with the marks of all three channels: a pixel marked in
// any channel shows the three mask values as red, green and blue. With
// `halfSizeChroma` (4:2:0) the marks of channels 2 and 3 are read at half the
// row and column, the position whose chroma sample covers the pixel.
DisplayPointer MarksCompositeView(const BitmapInfoHeader& fixed, const Plane& red, const Plane& green,
                                  const Plane& blue, const MaskSampler (&marks)[3], bool halfSizeChroma,
                                  std::uint32_t rows, std::uint32_t columns);

}  // namespace pictora
