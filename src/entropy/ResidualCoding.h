#pragma once

#include <array>
#include <cstdint>

#include "entropy/BinaryRangeCoder.h"

namespace pictora {

// The adaptive contexts of one kind of small signed number: a residual of a
// byte's prediction, -128 to 127.
struct ResidualContexts {
    AdaptiveBit zero;
    std::array<AdaptiveBit, 7> exponent{};  // the unary class of the magnitude
    std::array<AdaptiveBit, 28> mantissa{}; // each bit below the leading one, by class and place
    AdaptiveBit sign;
};

// Codes `value` (-128 to 127) as bits: zero or not; the class e of the
// magnitude (2^e to 2^(e+1) - 1) in unary; the e bits below its leading one,
// most significant first; the sign. `Coder` is BinaryRangeEncoder (which codes
// `value` and returns it) or BinaryRangeDecoder (which ignores `value` and
// returns what it reads), so one function serves both directions.
template <class Coder>
int CodeResidual(Coder& coder, ResidualContexts& contexts, int value) {
    if (coder.Code(contexts.zero, value == 0)) return 0;
    const unsigned magnitude = static_cast<unsigned>(value < 0 ? -value : value);
    const unsigned bits = 31u - static_cast<unsigned>(__builtin_clz(magnitude | 1));  // the encoder's class
    unsigned e = 0;
    while (e < 7 && coder.Code(contexts.exponent[e], e < bits)) ++e;
    unsigned decoded = 1;
    AdaptiveBit* place = &contexts.mantissa[e * (e - 1) / 2];
    for (unsigned j = e; j-- > 0;) decoded = (decoded << 1) | coder.Code(place[j], (magnitude >> j) & 1);
    const int signed_ = static_cast<int>(decoded);
    return coder.Code(contexts.sign, value < 0) ? -signed_ : signed_;
}

}  // namespace pictora
