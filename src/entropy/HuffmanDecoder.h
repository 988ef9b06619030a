#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "entropy/HuffmanTree.h"
#include "support/Status.h"

namespace pictora {

// Turns packed Huffman code bits back into bytes. Walking the tree one bit at
// a time is slow, so the next kTableBits bits index a table that tells which
// leaf they end at, or which inner node they reach when the code is longer;
// only those longer codes continue bit by bit. The result is the same as the
// plain walk.
class HuffmanDecoder {
public:
    static constexpr unsigned kTableBits = 12;

    // `tree` must have at least two leaves, and must outlive the decoder.
    explicit HuffmanDecoder(const HuffmanTree& tree);

    // Appends to `out` the bytes coded by the first `totalBits` bits of
    // `words`, growing it as they are decoded. Fails when the bits end inside
    // a code, or when they code more than `maxBytes` bytes.
    Status Decode(std::span<const std::uint32_t> words, std::uint64_t totalBits, std::uint64_t maxBytes,
                  std::vector<std::uint8_t>& out) const;

private:
    struct Entry {
        std::uint16_t node;    // the leaf reached, or the inner node after kTableBits bits
        std::uint8_t length;  // bits taken
    };

    const HuffmanTree& tree_;
    std::vector<Entry> table_;
};

}  // namespace pictora
