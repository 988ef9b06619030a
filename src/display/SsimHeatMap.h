#pragma once

#include <vector>

#include "display/ViewImage.h"

namespace pictora {

// A map of local SSIM values: `rows` x `columns`, row-major. Value (r, c)
// belongs to the window whose centre is picture pixel (c + offset, r + offset).
struct SsimHeatMap {
    int rows = 0;
    int columns = 0;
    int offset = 5;
    std::vector<double> values;

    bool Empty() const { return rows <= 0 || columns <= 0 || values.size() < static_cast<std::size_t>(rows) * columns; }
};

// The colour of an SSIM value on the heat scale: values are clamped to
// [0, 1], 0 and below the darkest colour, 1 the brightest; NaN reads as 0.
RgbPixel SsimColour(double value);

// The map laid over a picture of the given size: each map value colours the
// picture pixel its window is centred on; the border the windows cannot reach
// shows the picture itself as dim grey, so the map still reads in place.
// Values falling beyond the picture are cut off.
ViewImage SsimOverlay(const SsimHeatMap& map, const ViewImage& picture);

// The legend of the scale: a vertical strip, 1 at the top row, 0 at the bottom.
ViewImage SsimScaleImage(int width, int height);

}  // namespace pictora
