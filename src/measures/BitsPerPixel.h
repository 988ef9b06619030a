#pragma once

#include <cstdint>

namespace pictora {

// The rate of a stored file over the image it holds: 8 x bytes / (width x
// height). An image without pixels has no rate; the result is then 0.
double BitsPerPixel(std::uint64_t bytes, std::uint32_t width, std::uint32_t height);

}  // namespace pictora
