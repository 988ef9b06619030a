#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "image/RgbImage.h"
#include "support/Status.h"

namespace pictora {

// The codec libraries all take and give pixels as packed R, G, B bytes, row
// after row; the workbench keeps three planes.

// Refuses an image without pixels or whose planes do not match its size,
// naming the codec that was asked to encode it.
Status CheckEncodable(const RgbImage& image, std::string_view codecName);

// Packs the planes as height rows of width R, G, B triples, no padding.
std::vector<std::uint8_t> InterleaveRgb(const RgbImage& image);

// Replaces the size and planes of `image` with `height` rows of `width`
// packed triples, each row starting `rowBytes` after the previous one.
void SpreadInterleavedRgb(const std::uint8_t* pixels, std::uint32_t height, std::uint32_t width,
                          std::size_t rowBytes, RgbImage& image);

}  // namespace pictora
