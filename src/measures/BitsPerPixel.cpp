#include "measures/BitsPerPixel.h"

namespace pictora {

double BitsPerPixel(std::uint64_t bytes, std::uint32_t width, std::uint32_t height) {
    const double pixels = static_cast<double>(width) * static_cast<double>(height);
    if (pixels == 0.0) return 0.0;
    return 8.0 * static_cast<double>(bytes) / pixels;
}

}  // namespace pictora
