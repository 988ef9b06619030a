#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "support/Status.h"

namespace pictora {

// How often each byte value 0..255 occurs.
using ByteCounts = std::array<std::uint32_t, 256>;

// Counts the byte values of `bytes`. Both coders store lengths and counts as
// u32, so an input of 2^32 bytes or more is refused.
Status CountByteValues(std::span<const std::uint8_t> bytes, ByteCounts& counts);

}  // namespace pictora
