#pragma once

#include <cstdint>
#include <vector>

#include "entropy/BitWriter.h"
#include "entropy/ByteHistogram.h"

namespace pictora {

// The static Huffman code of a set of byte counts. Encoder and decoder build
// it from the same 256 counts and get the same tree, so the file stores the
// counts and never the tree.
//
// Every node goes into one list kept in ascending weight; a new node is put in
// front of the first node at least as heavy, so among equal weights the later
// node stands first (and of two leaves with equal counts the higher byte
// value). A cursor then walks the list pairwise: its node and the successor
// become the first (edge bit 1) and second (edge bit 0) child of a new node
// of their summed weight. The last node is the root.
//
// Codes: bit 0 of a code is the edge taken at the root. A leaf at depth d
// needs a total weight of at least Fibonacci(d + 2); 256 counts of 32 bits
// sum below 2^40 < Fibonacci(60), so no code is longer than 57 bits and a
// 64-bit code always holds it. (Inputs below 2^32 bytes give at most 45.)
class HuffmanTree {
public:
    static constexpr std::uint16_t kNone = UINT16_MAX;
    static constexpr std::uint16_t kInternal = 256;

    struct Node {
        std::uint64_t weight = 0;
        std::uint16_t symbol = kInternal;  // byte value of a leaf
        std::uint16_t first = kNone;       // child reached by bit 1
        std::uint16_t second = kNone;      // child reached by bit 0
        std::uint16_t parent = kNone;
        std::uint8_t bit = 0;              // edge bit from the parent
    };

    explicit HuffmanTree(const ByteCounts& counts);

    // No byte occurred: there is no root.
    bool Empty() const { return nodes_.empty(); }
    // One byte value occurred: the root is a leaf and its code is empty.
    bool SingleLeaf() const { return nodes_.size() == 1; }
    std::uint16_t Root() const { return root_; }
    const Node& At(std::uint16_t index) const { return nodes_[index]; }
    std::uint16_t Child(std::uint16_t index, std::uint32_t bit) const {
        return bit != 0 ? At(index).first : At(index).second;
    }

    std::uint8_t CodeLength(std::uint8_t symbol) const { return codeLengths_[symbol]; }
    std::uint64_t Code(std::uint8_t symbol) const { return codes_[symbol]; }
    // Σ code length × count: the number of code bits of the counted input.
    std::uint64_t TotalBits(const ByteCounts& counts) const;
    // Appends the code of `symbol`, bit 0 first.
    void AppendCode(std::uint8_t symbol, BitWriter& writer) const;

private:
    std::uint16_t AddNode(Node node, std::vector<std::uint16_t>& list);
    void AssignCodes();

    std::vector<Node> nodes_;
    std::uint16_t root_ = kNone;
    std::uint16_t leaves_[256];
    std::uint8_t codeLengths_[256] = {};
    std::uint64_t codes_[256] = {};
};

}  // namespace pictora
