#pragma once

#include <cstdint>
#include <string>

#include "image/RgbImage.h"

namespace pictora::testing {

// A test photo from tests/data, loaded once per process; fails the test when
// the file does not load.
const RgbImage& TestPhoto(const std::string& name);

// The mean absolute difference of all samples of two images of one size.
double MeanAbsoluteError(const RgbImage& a, const RgbImage& b);

}  // namespace pictora::testing
