#pragma once

#include "display/ViewImage.h"
#include "measures/SsimMap.h"

namespace pictora {

// The colour of an SSIM value on the heat scale: values are clamped to
// [0, 1], 0 and below the darkest colour, 1 the brightest; NaN reads as 0.
RgbPixel SsimColour(double value);

// The map laid over a picture of the given size: each map value colours the
// picture pixel its window is centred on; the border the windows cannot reach
// shows the picture itself as dim grey, so the map still reads in place.
// Values falling beyond the picture are cut off; an empty map only dims the
// picture.
ViewImage SsimOverlay(const SsimMap& map, const ViewImage& picture);

// The legend of the scale: a vertical strip, 1 at the top row, 0 at the bottom.
ViewImage SsimScaleImage(int width, int height);

}  // namespace pictora
