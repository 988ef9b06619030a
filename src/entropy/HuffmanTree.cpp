#include "entropy/HuffmanTree.h"

#include <algorithm>

namespace pictora {

HuffmanTree::HuffmanTree(const ByteCounts& counts) {
    std::fill(std::begin(leaves_), std::end(leaves_), kNone);
    std::vector<std::uint16_t> list;
    for (unsigned value = 0; value < 256; ++value) {
        if (counts[value] == 0) continue;
        Node leaf;
        leaf.weight = counts[value];
        leaf.symbol = static_cast<std::uint16_t>(value);
        leaves_[value] = AddNode(leaf, list);
    }
    if (list.empty()) return;

    // The new node weighs a + b > b, so it lands behind b and the cursor's
    // positions stay valid.
    std::size_t cursor = 0;
    for (; cursor + 1 < list.size(); cursor += 2) {
        const std::uint16_t a = list[cursor];
        const std::uint16_t b = list[cursor + 1];
        Node inner;
        inner.weight = nodes_[a].weight + nodes_[b].weight;
        inner.first = a;
        inner.second = b;
        const std::uint16_t parent = AddNode(inner, list);
        nodes_[a].parent = parent;
        nodes_[a].bit = 1;
        nodes_[b].parent = parent;
        nodes_[b].bit = 0;
    }
    root_ = list[cursor];
    AssignCodes();
}

std::uint16_t HuffmanTree::AddNode(Node node, std::vector<std::uint16_t>& list) {
    const auto index = static_cast<std::uint16_t>(nodes_.size());
    nodes_.push_back(node);
    const auto place = std::lower_bound(list.begin(), list.end(), node.weight,
                                        [this](std::uint16_t entry, std::uint64_t weight) {
                                            return nodes_[entry].weight < weight;
                                        });
    list.insert(place, index);
    return index;
}

void HuffmanTree::AssignCodes() {
    for (unsigned value = 0; value < 256; ++value) {
        std::uint64_t code = 0;
        std::uint8_t length = 0;
        // Walking up meets the leaf's own bit first; it ends as the highest.
        for (std::uint16_t node = leaves_[value]; node != kNone && node != root_; node = nodes_[node].parent) {
            code = (code << 1) | nodes_[node].bit;
            ++length;
        }
        codes_[value] = code;
        codeLengths_[value] = length;
    }
}

std::uint64_t HuffmanTree::TotalBits(const ByteCounts& counts) const {
    std::uint64_t bits = 0;
    for (unsigned value = 0; value < 256; ++value) bits += std::uint64_t{codeLengths_[value]} * counts[value];
    return bits;
}

void HuffmanTree::AppendCode(std::uint8_t symbol, BitWriter& writer) const {
    const std::uint64_t code = codes_[symbol];
    const unsigned length = codeLengths_[symbol];
    if (length <= 32) {
        writer.PutBits(static_cast<std::uint32_t>(code), length);
        return;
    }
    writer.PutBits(static_cast<std::uint32_t>(code), 32);
    writer.PutBits(static_cast<std::uint32_t>(code >> 32), length - 32);
}

}  // namespace pictora
