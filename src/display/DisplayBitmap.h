#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "support/UninitialisedAllocator.h"
#include "support/WorkerPool.h"

namespace pictora {

// The 40-byte header of a device-independent bitmap, with the fixed values
// every display uses: 24 bits per pixel, uncompressed, 72 dots per inch, no
// palette. Width, height and image size are set per bitmap.
struct BitmapInfoHeader {
    std::uint32_t size = 40;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t planes = 1;
    std::uint16_t bitCount = 24;
    std::uint32_t compression = 0;
    std::uint32_t sizeImage = 0;
    std::int32_t xPelsPerMeter = 2834;
    std::int32_t yPelsPerMeter = 2834;
    std::uint32_t clrUsed = 0;
    std::uint32_t clrImportant = 0;
};

struct DisplayColour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
};

// A 24-bit bitmap ready to be handed to the screen: 3 bytes per pixel in the
// order blue, green, red; rows from the bottom of the image to the top; each
// row padded with zero bytes to a multiple of 4 bytes.
struct DisplayBitmap {
    using Bytes = std::vector<std::uint8_t, UninitialisedAllocator<std::uint8_t>>;
    BitmapInfoHeader header;
    Bytes pixels;

    int Width() const { return header.width; }
    int Height() const { return header.height; }
    // Bytes of one padded row of `columns` pixels.
    static std::uint32_t RowBytes(std::uint32_t columns) { return (3 * columns + 3) / 4 * 4; }
};

// Builds a rows x columns bitmap on the fixed header whose pixel at image row
// i (counted from the top) and column j is rowColours(i)(j): rowColours gives
// for each row a function of the column (one that holds that row's sample
// pointers, which the byte stores here could not otherwise keep in
// registers). An image without pixels gives no bitmap (null), as the screen
// cannot make one. Bands of rows are filled on every core, so rowColours must
// be safe to call from several threads (it only reads).
template <typename RowColours>
std::shared_ptr<const DisplayBitmap> MakeDisplayBitmap(const BitmapInfoHeader& fixed, std::uint32_t rows,
                                                       std::uint32_t columns, RowColours rowColours) {
    if (rows == 0 || columns == 0) return nullptr;
    auto bitmap = std::make_shared<DisplayBitmap>();
    const std::uint32_t rowBytes = DisplayBitmap::RowBytes(columns);
    bitmap->header = fixed;
    bitmap->header.width = static_cast<std::int32_t>(columns);
    bitmap->header.height = static_cast<std::int32_t>(rows);
    bitmap->header.sizeImage = rowBytes * rows;
    bitmap->pixels.resize(static_cast<std::size_t>(rowBytes) * rows);  // every byte is written below
    constexpr std::uint32_t kRowsPerBand = 64;
    const std::uint32_t bands = (rows + kRowsPerBand - 1) / kRowsPerBand;
    WorkerPool::Shared().Run(bands, [&](unsigned band, unsigned) {
        const std::uint32_t end = std::min(rows, (band + 1) * kRowsPerBand);
        for (std::uint32_t i = band * kRowsPerBand; i < end; ++i) {
            std::uint8_t* out = bitmap->pixels.data() + static_cast<std::size_t>(rows - 1 - i) * rowBytes;
            std::uint8_t* const rowEnd = out + rowBytes;
            const auto colourAt = rowColours(i);
            for (std::uint32_t j = 0; j < columns; ++j) {
                const DisplayColour colour = colourAt(j);
                *out++ = colour.blue;
                *out++ = colour.green;
                *out++ = colour.red;
            }
            std::fill(out, rowEnd, std::uint8_t{0});  // the row's padding
        }
    });
    return bitmap;
}

}  // namespace pictora
