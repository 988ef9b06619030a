#pragma once

#include <cstdint>

#include "display/ViewImage.h"

namespace pictora {

// The fixed false-colour scale of the viewer's maps, from 0 (deep indigo)
// through purple, red and orange to 255 (pale yellow). Its lightness grows
// steadily along the scale, so a larger value always reads as brighter, also
// for users who cannot tell red from green.
RgbPixel HeatColour(std::uint8_t value);

}  // namespace pictora
