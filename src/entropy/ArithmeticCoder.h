#pragma once

#include "entropy/EntropyCoder.h"

namespace pictora {

// Static order-0 arithmetic coding of a whole input with integer intervals,
// carry-free renormalisation and pending bits, stored as an .art file
// (layout in ArithmeticCoder.cpp). Inputs of more than
// ArithmeticModel::kMaxTotal bytes are refused.
class ArithmeticCoder : public EntropyCoder {
public:
    Status EncodeBytes(std::span<const std::uint8_t> in, std::vector<std::uint8_t>& out) override;
    Status DecodeBytes(std::span<const std::uint8_t> in, std::vector<std::uint8_t>& out) override;
};

}  // namespace pictora
