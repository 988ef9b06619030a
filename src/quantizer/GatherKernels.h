#pragma once

#include <cstdint>

namespace pictora {

// Integer sums of one block's pixels x, as BlockVector keeps them: of x, of
// x * x, of x weighted by its column's sign and by its line's sign (+1, -1 or
// 0 each).
struct PixelSums {
    std::int32_t sum = 0;
    std::int32_t squares = 0;
    std::int32_t across = 0;
    std::int32_t down = 0;
};

// Reads the side x side block whose lines start at lines[i] + column and
// writes pixel j of line i as out[i * side + j] = x / scale (each one the
// correctly rounded quotient of two doubles), adding its sums to `sums`.
// `columnSigns` and `lineSigns` hold side signs each; side is at most 12, so
// that no sum leaves 32 bits. The instruction set is chosen at run time; the
// sums are exact and the quotients correctly rounded on every one, so each
// gives the plain version's numbers, which the tests hold it to.
void GatherBlock(const std::uint8_t* const* lines, std::uint32_t column, std::uint32_t side, double scale,
                 const std::int32_t* columnSigns, const std::int32_t* lineSigns, double* out, PixelSums& sums);
void PlainGatherBlock(const std::uint8_t* const* lines, std::uint32_t column, std::uint32_t side, double scale,
                      const std::int32_t* columnSigns, const std::int32_t* lineSigns, double* out, PixelSums& sums);

}  // namespace pictora
