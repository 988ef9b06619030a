#pragma once

#include <cstddef>
#include <cstdint>

namespace pictora {

// The sum over k < count of (a[k] - b[k])^2, the squared error of two rows of
// 8-bit samples: on as many samples at once as the processor's vectors hold
// (the instruction set is chosen at run time), and plainly, sample by sample.
// The sums are integers, so both give the same number for any grouping.
std::uint64_t SumOfSquaredDifferences(const std::uint8_t* a, const std::uint8_t* b, std::size_t count);
std::uint64_t PlainSumOfSquaredDifferences(const std::uint8_t* a, const std::uint8_t* b, std::size_t count);

}  // namespace pictora
