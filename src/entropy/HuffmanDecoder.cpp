#include "entropy/HuffmanDecoder.h"

#include "entropy/DecodedOutput.h"

namespace pictora {
namespace {

// The 64 stream bits from `position` on, the first in bit 0; bits beyond the
// stored words read as 0.
std::uint64_t Peek(std::span<const std::uint32_t> words, std::uint64_t position) {
    const std::size_t index = static_cast<std::size_t>(position >> 5);
    const std::uint64_t low = index < words.size() ? words[index] : 0;
    const std::uint64_t high = index + 1 < words.size() ? words[index + 1] : 0;
    return (low | (high << 32)) >> (position & 31);
}

}  // namespace

HuffmanDecoder::HuffmanDecoder(const HuffmanTree& tree) : tree_(tree), table_(std::size_t{1} << kTableBits) {
    for (std::uint32_t pattern = 0; pattern < table_.size(); ++pattern) {
        std::uint16_t node = tree_.Root();
        std::uint8_t length = 0;
        while (tree_.At(node).symbol == HuffmanTree::kInternal && length < kTableBits) {
            node = tree_.Child(node, (pattern >> length) & 1);
            ++length;
        }
        table_[pattern] = Entry{node, length};
    }
}

Status HuffmanDecoder::Decode(std::span<const std::uint32_t> words, std::uint64_t totalBits, std::uint64_t maxBytes,
                              std::vector<std::uint8_t>& out) const {
    const std::uint64_t mask = (std::uint64_t{1} << kTableBits) - 1;
    std::uint64_t decoded = 0;
    std::uint64_t position = 0;
    while (position < totalBits) {
        if (decoded == maxBytes) return Status::Error(ErrorKind::DamagedFile, "code bits hold more bytes than the counts announce");
        const Entry entry = table_[Peek(words, position) & mask];
        std::uint16_t node = entry.node;
        std::uint64_t end = position + entry.length;
        while (tree_.At(node).symbol == HuffmanTree::kInternal && end < totalBits) {
            node = tree_.Child(node, Peek(words, end) & 1);
            ++end;
        }
        // Bits past totalBits read as 0 above; a code that needed them is cut off.
        if (end > totalBits || tree_.At(node).symbol == HuffmanTree::kInternal) {
            return Status::Error(ErrorKind::DamagedFile, "code bits end inside a code");
        }
        if (out.size() == out.capacity()) GrowDecodedOutput(out, maxBytes);
        out.push_back(static_cast<std::uint8_t>(tree_.At(node).symbol));
        ++decoded;
        position = end;
    }
    return Status::Ok();
}

}  // namespace pictora
