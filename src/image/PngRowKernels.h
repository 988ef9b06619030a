#pragma once

#include <cstddef>
#include <cstdint>

#include "image/PngFormat.h"

namespace pictora {

// The PNG row arithmetic of ScalarPngRowKernels.h on as many bytes at once as
// the processor's vectors hold; the instruction set is chosen at run time.
// Every kernel gives the bytes its scalar version gives.

// UnfilterRow may read up to this many bytes past the end of `in` and
// `above` and write as many past the end of `out`.
inline constexpr std::size_t kPngRowSlack = 16;

// Undoes `filter` on a row of `bytes` bytes whose pixels lie `stride` bytes
// apart: out[k] = in[k] + prediction. Sub, average and Paeth predict from the
// byte just unfiltered a pixel to the left, so they go pixel by pixel (all of
// a pixel's bytes in one vector, for strides up to 8).
void UnfilterRow(PngFilter filter, const std::uint8_t* in, const std::uint8_t* above, std::size_t bytes,
                 std::size_t stride, std::uint8_t* out);

// out[k] = row[k] - prediction for a whole row; every byte's prediction is
// known from the rows themselves, so filtering runs on whole vectors.
void FilterRow(PngFilter filter, const std::uint8_t* row, const std::uint8_t* above, std::size_t bytes,
               std::size_t stride, std::uint8_t* out);

// costs[f] = the cost of the whole row filtered with f (ScalarFilterCosts).
void FilterCosts(const std::uint8_t* row, const std::uint8_t* above, std::size_t bytes, std::size_t stride,
                 std::uint64_t costs[kPngFilterCount]);

// The `columns` pixels of a row of RGB samples of `sampleBytes` bytes (1 or 2)
// into three planes' rows, and three planes' rows into one row of 8-bit RGB.
void SplitRgb(const std::uint8_t* row, std::size_t sampleBytes, std::size_t columns, std::uint8_t* red,
              std::uint8_t* green, std::uint8_t* blue);
void JoinRgb(const std::uint8_t* red, const std::uint8_t* green, const std::uint8_t* blue, std::size_t columns,
             std::uint8_t* row);

}  // namespace pictora
