#pragma once

#include <cstdint>

namespace pictora {

// Integer kernels of the least-error search over tiles of kPixelLanes neurons
// (PixelIndex). The instruction set is chosen at run time; every lane is
// computed in exact integer arithmetic, so every one of them gives the same
// numbers as the plain versions beside them, which the tests hold them to.
constexpr std::uint32_t kPixelLanes = 16;
constexpr std::uint32_t kPixelGroups = 4;

// Bit l of the result is set when
//     sum over g of (groups[g * kPixelLanes + l] - blockGroups[g])^2 <= limit
// (every group sum below 2^15, so that the sum of squares fits 31 bits).
// `groups` must be 64-byte aligned.
std::uint32_t TileBoundsWithin(const std::int32_t* groups, const std::int32_t* blockGroups, std::int32_t limit);
std::uint32_t PlainTileBoundsWithin(const std::int32_t* groups, const std::int32_t* blockGroups, std::int32_t limit);

// out[l] = sum over k of (p_l[k] - x[k])^2 for the pixels p_l of lane l and x
// of the block: `pairs` holds pixel pair j of lane l as the two 16-bit values
// at (j * kPixelLanes + l) * 2 and + 1, `blockPairs[j]` the block's pair j
// (low half pixel 2j, high half 2j + 1); pixels are 0 .. 255 and at most
// 16 x 16 of them. `pairs` and `out` must be 64-byte aligned.
void TileErrors(const std::int16_t* pairs, std::uint32_t pairCount, const std::int32_t* blockPairs,
                std::int32_t* out);
void PlainTileErrors(const std::int16_t* pairs, std::uint32_t pairCount, const std::int32_t* blockPairs,
                     std::int32_t* out);

}  // namespace pictora
