#pragma once

#include <array>
#include <cstdint>

#include "entropy/ByteHistogram.h"
#include "support/Status.h"

namespace pictora {

// The static order-0 model of the arithmetic coder: the cumulative counts of
// the 256 byte values and the coding precision that goes with their total.
//
// cumulative[k] is the number of input bytes below value k, so
// cumulative[0] = 0 and cumulative[256] = total. Within an interval
// [low, low + range − 1] symbol s owns
//   [low + range × cumulative[s] div total, low + range × cumulative[s + 1] div total − 1],
// and these shares tile the interval in symbol order. The precision is
// P = n + 2 with n the least whole number such that 2^n > total + 1; a
// quarter of the full range 2^P then exceeds total + 1, so every occurring
// symbol keeps a nonempty share. range × cumulative stays below 2^62 (exact
// in 64 bits) while total + 1 < 2^30.
class ArithmeticModel {
public:
    static constexpr std::uint32_t kMaxTotal = (UINT32_C(1) << 30) - 2;
    using Table = std::array<std::uint32_t, 256>;

    // The model of an input with these counts. Fails when the total exceeds kMaxTotal.
    Status FromCounts(const ByteCounts& counts);
    // The model a file stores. Fails unless cumulative[0] = 0, the table never
    // decreases, its last entry is at most `total`, and `total` is at most kMaxTotal.
    Status FromTable(std::uint32_t total, const Table& cumulative);

    std::uint32_t Total() const { return cumulative_[256]; }
    std::uint32_t Precision() const;
    // cumulative[symbol] for symbol 0..256.
    std::uint32_t Cumulative(unsigned symbol) const { return cumulative_[symbol]; }

    // Low end of the share of `symbol` (0..256) in [low, low + range − 1];
    // the share's high end is ShareStart(symbol + 1, …) − 1.
    std::int64_t ShareStart(unsigned symbol, std::int64_t low, std::int64_t range) const {
        return low + range * cumulative_[symbol] / Total();
    }
    // The symbol whose share of [low, low + range − 1] contains `value`,
    // found by binary search over the cumulative counts. Requires
    // low ≤ value < low + range and a nonzero total.
    unsigned SymbolAt(std::int64_t low, std::int64_t range, std::int64_t value) const;

private:
    std::array<std::uint32_t, 257> cumulative_{};
};

}  // namespace pictora
