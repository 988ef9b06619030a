#include "image/ChromaResampling.h"

#include <algorithm>

namespace pictora {

void Decimate420(std::uint32_t rows, std::uint32_t columns, Plane& plane) {
    // Raster order never reads a position it has already overwritten: (2i, 2j)
    // lies at or after (i, j).
    for (std::uint32_t i = 0; i < rows / 2; ++i) {
        for (std::uint32_t j = 0; j < columns / 2; ++j) {
            plane[i][j] = plane[2 * i][2 * j];
        }
    }
}

void Upsample420(std::uint32_t rows, std::uint32_t columns, Plane& destination, const Plane& source) {
    const std::uint32_t halfRows = rows / 2;
    const std::uint32_t halfColumns = columns / 2;
    if (halfRows == 0 || halfColumns == 0) return;
    for (std::uint32_t r = 0; r < rows; ++r) {
        const std::uint8_t* from = source[std::min(r / 2, halfRows - 1)];
        std::uint8_t* to = destination[r];
        for (std::uint32_t c = 0; c < columns; ++c) to[c] = from[std::min(c / 2, halfColumns - 1)];
    }
}

}  // namespace pictora
