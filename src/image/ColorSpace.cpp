#include "image/ColorSpace.h"

namespace pictora {

std::uint8_t FileCodeOf(ColorSpace space) {
    switch (space) {
        case ColorSpace::YCbCr444: return 0;
        case ColorSpace::Rgb: return 1;
        case ColorSpace::YCbCr420: return 2;
        case ColorSpace::None: break;
    }
    return 3;
}

ColorSpace ColorSpaceFromFileCode(std::uint32_t code) {
    switch (code) {
        case 0: return ColorSpace::YCbCr444;
        case 1: return ColorSpace::Rgb;
        case 2: return ColorSpace::YCbCr420;
        default: return ColorSpace::None;
    }
}

}  // namespace pictora
