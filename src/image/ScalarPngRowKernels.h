#pragma once

#include <cstddef>
#include <cstdint>

#include "image/PngFormat.h"

namespace pictora {

// The PNG row arithmetic one byte at a time. The vector kernels
// (PngRowKernels.h) give exactly these bytes and call these for the bytes
// left over after their last full vector.
//
// A row holds `bytes` bytes whose pixels lie `stride` bytes apart; `above` is
// the unfiltered row above it (zeros for a pass's first row). The bytes a
// filter predicts from (PngFormat.h) are 0 left of the row.

// The prediction of `filter` from the bytes left (a), above (b) and above-left (c).
std::uint8_t PngPrediction(PngFilter filter, std::uint8_t a, std::uint8_t b, std::uint8_t c);

// Unfiltered bytes begin .. end-1 of a row: out[k] = in[k] + prediction, the
// left bytes taken from `out`, which must hold bytes 0 .. begin-1 already.
void ScalarUnfilterRow(PngFilter filter, const std::uint8_t* in, const std::uint8_t* above, std::size_t stride,
                       std::size_t begin, std::size_t end, std::uint8_t* out);

// Filtered bytes begin .. end-1 of `row`: out[k] = row[k] - prediction.
void ScalarFilterRow(PngFilter filter, const std::uint8_t* row, const std::uint8_t* above, std::size_t stride,
                     std::size_t begin, std::size_t end, std::uint8_t* out);

// Adds to costs[f], for every filter f, the cost of bytes begin .. end-1 of
// the row filtered with f: the sum of each filtered byte's distance from 0
// taken as a signed byte (|-128| .. 127), which ranks filters by how close
// to zero they bring the row.
void ScalarFilterCosts(const std::uint8_t* row, const std::uint8_t* above, std::size_t stride, std::size_t begin,
                       std::size_t end, std::uint64_t costs[kPngFilterCount]);

// Pixels begin .. end-1 of a row of RGB samples of `sampleBytes` bytes (1, or
// 2 for 16-bit samples, of which the high byte is kept) into three planes' rows.
void ScalarSplitRgb(const std::uint8_t* row, std::size_t sampleBytes, std::size_t begin, std::size_t end,
                    std::uint8_t* red, std::uint8_t* green, std::uint8_t* blue);

// Pixels begin .. end-1 of three planes' rows into one row of 8-bit R, G, B.
void ScalarJoinRgb(const std::uint8_t* red, const std::uint8_t* green, const std::uint8_t* blue, std::size_t begin,
                   std::size_t end, std::uint8_t* row);

}  // namespace pictora
