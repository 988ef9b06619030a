#pragma once

#include <QImage>

#include "display/ViewImage.h"

namespace pictora {

// A deep copy of the image as an RGB888 QImage; a null QImage for an empty one.
QImage ToQImage(const ViewImage& image);
// The colours of any QImage (alpha dropped); an empty image for a null one.
ViewImage ViewImageOf(const QImage& image);

}  // namespace pictora
