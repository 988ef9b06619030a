#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "image/PngFormat.h"

namespace pictora {

// The parts of a PNG file its decoder needs, found by ReadPngLayout.
struct PngLayout {
    PngHeader header;
    // The data of the IDAT chunks of the first unbroken run, in order.
    std::vector<std::span<const std::uint8_t>> imageData;
    std::uint64_t imageDataBytes = 0;
};

// Walks the chunks of `file` (PngFormat.h) from the signature to IEND and
// checks all of it that can be checked without inflating: the signature, every
// chunk's length and type, the CRC of every critical chunk, IHDR's fields and
// the order of the critical chunks. False with an English message in `error`
// when the file is damaged.
bool ReadPngLayout(std::span<const std::uint8_t> file, PngLayout& layout, std::string& error);

}  // namespace pictora
