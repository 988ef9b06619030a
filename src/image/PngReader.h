#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "image/PngFormat.h"
#include "image/PngLayout.h"
#include "support/Plane.h"

namespace pictora {

// Decodes an RGB PNG file held in memory (PngFormat.h) into three 8-bit
// planes, in two steps so that the caller can check the header before it
// allocates the planes. The image data are inflated by libdeflate in one call,
// then unfiltered and split into the planes row after row, so the top rows
// are done first. A failing step returns false with an English message in
// Error(); no further step may follow it.
class PngReader {
public:
    explicit PngReader(std::span<const std::uint8_t> file) : file_(file) {}

    // Checks the whole file's structure and its header (ReadPngLayout).
    bool ReadHeader(PngHeader& header);
    // For a file of colour type RGB: sizes the planes to the header's size
    // and tells rowsDone(0), then fills them, 16-bit samples cut to their
    // high byte, de-interlacing an interlaced file, and tells rowsDone(n)
    // every few rows that rows 0 .. n-1 are complete (an interlaced file
    // once, at the end). Refuses before it sizes anything image data too
    // short to inflate to the rows the header declares (kMostInflatedPerByte),
    // and inflates no further than those rows: image data that inflate to
    // more or fewer bytes are refused too.
    bool ReadRgbPlanes(Plane& red, Plane& green, Plane& blue, const std::function<void(std::uint32_t)>& rowsDone);

    const std::string& Error() const { return error_; }

private:
    std::span<const std::uint8_t> file_;
    PngLayout layout_;
    std::string error_;
};

}  // namespace pictora
