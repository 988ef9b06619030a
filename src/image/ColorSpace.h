#pragma once

#include <cstdint>

namespace pictora {

// The colour space the three channels code in. Channel 0 is R or Y, channel 1
// G or Cb, channel 2 B or Cr. None is "nothing selected", coded like RGB.
enum class ColorSpace { YCbCr444, Rgb, YCbCr420, None };

// The byte coded-image and codebook files store: 0 YCbCr 4:4:4, 1 RGB,
// 2 YCbCr 4:2:0; any other stored value reads as None, which writes as 3.
std::uint8_t FileCodeOf(ColorSpace space);
ColorSpace ColorSpaceFromFileCode(std::uint32_t code);

// Whether the channels hold Y, Cb, Cr (and must be converted back to RGB).
inline bool IsYCbCr(ColorSpace space) { return space == ColorSpace::YCbCr444 || space == ColorSpace::YCbCr420; }

}  // namespace pictora
