#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace pictora {

// Truncates toward zero, as every real-to-integer conversion of the codec does.
// Values beyond the 64-bit range saturate and NaN gives 0, so a diverging
// training (a learning rate far outside 0..1) can never reach undefined behaviour.
inline std::int64_t TruncateToInt64(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 9.2e18) return std::numeric_limits<std::int64_t>::max();
    if (value <= -9.2e18) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(value);
}

// The number of binary digits of `value`: 0 for 0, 1 for 1, 2 for 2..3, 3 for 4..7.
inline std::uint32_t BitLength(std::uint32_t value) {
    std::uint32_t bits = 0;
    while (value != 0) {
        ++bits;
        value >>= 1;
    }
    return bits;
}

}  // namespace pictora
