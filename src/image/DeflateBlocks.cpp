#include "image/DeflateBlocks.h"

#include <array>
#include <cstring>
#include <vector>

namespace pictora {
namespace {

constexpr unsigned kLongestCode = 15;

// Reads bits least significant first from a 64-bit buffer refilled a word
// at a time; past the end it reads zeros and remembers that it did.
class BitCursor {
public:
    explicit BitCursor(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    // The next `bits` (at most 32) bits without taking them.
    std::uint32_t Peek(unsigned bits) {
        if (count_ < bits) Refill();
        return static_cast<std::uint32_t>(buffer_ & ((std::uint64_t{1} << bits) - 1));
    }
    std::uint32_t Take(unsigned bits) {
        const std::uint32_t value = Peek(bits);
        Skip(bits);
        return value;
    }
    // Takes bits already peeked at.
    void Skip(unsigned bits) {
        buffer_ >>= bits;
        count_ -= bits;
    }
    // At a byte boundary: skips whole bytes, those in the buffer first.
    void SkipBytes(std::uint64_t bytes) {
        next_ = Position() / 8 + bytes;
        buffer_ = 0;
        count_ = 0;
    }
    void ToByteBoundary() { Skip(count_ % 8); }
    std::uint64_t Position() const { return 8 * next_ - count_; }
    bool Overran() const { return Position() > 8 * static_cast<std::uint64_t>(bytes_.size()); }

private:
    void Refill() {
        if (next_ + 8 <= bytes_.size()) {
            std::uint64_t word = 0;
            std::memcpy(&word, bytes_.data() + next_, 8);  // little-endian processor
            buffer_ |= word << count_;
            next_ += (63 - count_) / 8;
            count_ |= 56;
            return;
        }
        while (count_ <= 56) {
            const std::uint64_t byte = next_ < bytes_.size() ? bytes_[next_] : 0;
            buffer_ |= byte << count_;
            ++next_;
            count_ += 8;
        }
    }

    std::span<const std::uint8_t> bytes_;
    std::uint64_t buffer_ = 0;
    unsigned count_ = 0;
    std::uint64_t next_ = 0;
};

// A canonical Huffman code as one table indexed by the next bits_ bits (the
// longest code's length): each entry the symbol << 4 | its code's length, 0
// where no code starts with those bits.
class HuffmanTable {
public:
    // False when the lengths over-subscribe the code.
    bool Build(const std::uint8_t* lengths, unsigned symbols) {
        std::array<unsigned, kLongestCode + 1> counts{};
        for (unsigned s = 0; s < symbols; ++s) ++counts[lengths[s]];
        counts[0] = 0;
        std::array<unsigned, kLongestCode + 1> next{};
        unsigned code = 0;
        bits_ = 1;
        for (unsigned length = 1; length <= kLongestCode; ++length) {
            code = (code + counts[length - 1]) << 1;
            next[length] = code;
            if (next[length] + counts[length] > (1u << length)) return false;
            if (counts[length] != 0) bits_ = length;
        }
        entries_.assign(std::size_t{1} << bits_, 0);
        for (unsigned s = 0; s < symbols; ++s) {
            const unsigned length = lengths[s];
            if (length == 0) continue;
            unsigned reversed = 0;
            for (unsigned bit = 0, value = next[length]++; bit < length; ++bit) reversed |= ((value >> bit) & 1) << (length - 1 - bit);
            for (unsigned at = reversed; at < entries_.size(); at += 1u << length)
                entries_[at] = static_cast<std::uint16_t>(s << 4 | length);
        }
        return true;
    }
    // The next symbol, or -1 where no code starts.
    int Decode(BitCursor& bits) const {
        const std::uint16_t entry = entries_[bits.Peek(bits_)];
        if (entry == 0) return -1;
        bits.Skip(entry & 15);
        return entry >> 4;
    }

private:
    unsigned bits_ = 1;
    std::vector<std::uint16_t> entries_;
};

constexpr std::array<std::uint8_t, 29> kLengthExtraBits = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                           2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<std::uint8_t, 30> kDistanceExtraBits = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                                             6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
constexpr std::array<std::uint8_t, 19> kCodeLengthOrder = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

bool ReadDynamicCodes(BitCursor& bits, HuffmanTable& literals, HuffmanTable& distances) {
    const unsigned literalCount = bits.Take(5) + 257;
    const unsigned distanceCount = bits.Take(5) + 1;
    const unsigned lengthCodes = bits.Take(4) + 4;
    std::array<std::uint8_t, 19> codeLengths{};
    for (unsigned k = 0; k < lengthCodes; ++k) codeLengths[kCodeLengthOrder[k]] = static_cast<std::uint8_t>(bits.Take(3));
    HuffmanTable lengthCode;
    if (literalCount > 286 || distanceCount > 30 || !lengthCode.Build(codeLengths.data(), 19)) return false;
    std::array<std::uint8_t, 286 + 30> lengths{};
    for (unsigned k = 0; k < literalCount + distanceCount;) {
        const int symbol = lengthCode.Decode(bits);
        if (symbol < 0 || bits.Overran()) return false;
        if (symbol < 16) {
            lengths[k++] = static_cast<std::uint8_t>(symbol);
            continue;
        }
        std::uint8_t repeated = 0;
        unsigned times = 0;
        if (symbol == 16) {
            if (k == 0) return false;
            repeated = lengths[k - 1];
            times = 3 + bits.Take(2);
        } else {
            times = symbol == 17 ? 3 + bits.Take(3) : 11 + bits.Take(7);
        }
        if (k + times > literalCount + distanceCount) return false;
        for (unsigned t = 0; t < times; ++t) lengths[k++] = repeated;
    }
    return literals.Build(lengths.data(), literalCount) && distances.Build(lengths.data() + literalCount, distanceCount);
}

void FixedCodes(HuffmanTable& literals, HuffmanTable& distances) {
    std::array<std::uint8_t, 288> lengths{};
    for (unsigned s = 0; s < 288; ++s) lengths[s] = s < 144 ? 8 : s < 256 ? 9 : s < 280 ? 7 : 8;
    literals.Build(lengths.data(), 288);
    std::array<std::uint8_t, 30> distanceLengths{};
    distanceLengths.fill(5);
    distances.Build(distanceLengths.data(), 30);
}

bool SkipSymbols(BitCursor& bits, const HuffmanTable& literals, const HuffmanTable& distances) {
    while (!bits.Overran()) {
        const int symbol = literals.Decode(bits);
        if (symbol < 0 || symbol > 285) return false;
        if (symbol < 256) continue;
        if (symbol == 256) return true;
        bits.Take(kLengthExtraBits[symbol - 257]);
        const int distance = distances.Decode(bits);
        if (distance < 0 || distance > 29) return false;
        bits.Take(kDistanceExtraBits[distance]);
    }
    return false;
}

}  // namespace

bool FindDeflateEnds(std::span<const std::uint8_t> stream, DeflateEnds& ends) {
    BitCursor bits(stream);
    HuffmanTable literals;
    HuffmanTable distances;
    while (true) {
        const std::uint64_t start = bits.Position();
        const bool last = bits.Take(1) == 1;
        const std::uint32_t type = bits.Take(2);
        if (type == 0) {
            bits.ToByteBoundary();
            const std::uint32_t length = bits.Take(16);
            if (bits.Take(16) != (~length & 0xFFFF)) return false;
            bits.SkipBytes(length);
        } else if (type == 3) {
            return false;
        } else {
            if (type == 1) {
                FixedCodes(literals, distances);
            } else if (!ReadDynamicCodes(bits, literals, distances)) {
                return false;
            }
            if (!SkipSymbols(bits, literals, distances)) return false;
        }
        if (bits.Overran()) return false;
        if (last) {
            ends = {start, bits.Position()};
            return true;
        }
    }
}

}  // namespace pictora
