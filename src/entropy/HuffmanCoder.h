#pragma once

#include "entropy/EntropyCoder.h"

namespace pictora {

// Static order-0 Huffman coding of a whole input, stored as a .huf file
// (layout in HuffmanCoder.cpp). The code is rebuilt from the stored counts.
class HuffmanCoder : public EntropyCoder {
public:
    Status EncodeBytes(std::span<const std::uint8_t> in, std::vector<std::uint8_t>& out) override;
    Status DecodeBytes(std::span<const std::uint8_t> in, std::vector<std::uint8_t>& out) override;
};

}  // namespace pictora
