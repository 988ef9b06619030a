#pragma once

#include "display/ViewImage.h"

namespace pictora {

enum class DifferenceStyle {
    kGrey,         // the largest of the three channel differences, as a grey level
    kFalseColour,  // the same level through the heat scale
};

// |a - b| of two images over their common top-left area (the smaller width
// and height; nothing outside it), the largest channel difference of each
// pixel multiplied by `amplification` (1 or more) and clamped to 255.
ViewImage DifferenceImage(const ViewImage& a, const ViewImage& b, int amplification, DifferenceStyle style);

}  // namespace pictora
