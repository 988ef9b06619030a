#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "support/Plane.h"

namespace pictora {

// Encodes the top-left height x width samples of one plane as an 8-bit
// greyscale PNG file, or of three planes (red, green, blue) as an 8-bit RGB
// one (PngFormat.h), in memory, so the file itself can be written in one
// piece: IHDR, the image data, IEND; not interlaced. Each row takes the
// filter that brings its bytes closest to zero (rows are filtered in bands
// on every core), and libdeflate compresses them at a fast level. The bytes
// depend on the samples alone, never on the cores. Every plane must hold at
// least height x width samples, both at least 1.
std::vector<std::uint8_t> EncodePng(std::span<const Plane* const> planes, std::uint32_t height, std::uint32_t width);

}  // namespace pictora
