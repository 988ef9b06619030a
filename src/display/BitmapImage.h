#pragma once

#include <QImage>

#include "display/DisplayBitmap.h"

namespace pictora {

// The display bitmap as a top-down QImage (its rows are stored bottom-up in
// blue-green-red order); a null QImage for no bitmap.
QImage ToQImage(const DisplayBitmap* bitmap);

}  // namespace pictora
