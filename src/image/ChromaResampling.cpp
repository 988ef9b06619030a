#include "image/ChromaResampling.h"

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

void Upsample420(std::uint32_t halfRows, std::uint32_t halfColumns, Plane& destination, const Plane& source) {
    for (std::uint32_t r = 0; r < 2 * halfRows; ++r) {
        for (std::uint32_t c = 0; c < 2 * halfColumns; ++c) {
            destination[r][c] = source[r / 2][c / 2];
        }
    }
}

}  // namespace pictora
