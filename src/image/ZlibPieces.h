#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace pictora {

// One zlib stream (RFC 1950: u8 CMF, u8 FLG, deflate blocks, u32 Adler-32
// big-endian) of `data`, compressed by libdeflate at `level` in pieces of
// kZlibPieceBytes spread over every core. Each piece is a deflate stream of
// its own, whose matches never reach back into the piece before; all but the
// last are made to go on: their last block's BFINAL bit is cleared
// (FindDeflateEnds) and an empty stored block brings the next piece to a
// byte boundary, as zlib's flush does. The bytes depend on the data and the
// level alone, never on the cores.
inline constexpr std::size_t kZlibPieceBytes = std::size_t{1} << 20;

std::vector<std::uint8_t> ZlibCompress(std::span<const std::uint8_t> data, int level);

}  // namespace pictora
