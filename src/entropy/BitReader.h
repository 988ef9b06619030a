#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "support/ByteStream.h"
#include "support/Status.h"

namespace pictora {

// Reads the bit-stream block that BitWriter::WriteTo produces and hands out
// its bits in stream order. A read past the last stored bit yields 0 bits and
// raises the overrun flag, so a damaged stream can never make the reader
// index beyond the words it loaded.
class BitReader {
public:
    // Reads one block at the cursor of `in` (layout in BitReader.cpp), replaces
    // `values` with its N div width values and leaves the reader at bit 0, so
    // the same bits can also be read again one by one. The block is checked
    // before anything is allocated: width at most 32, width 0 only with N = 0,
    // and all ceil(N / 32) words present. On failure the cursor and `values`
    // are unchanged and the reader is empty.
    Status LoadFrom(ByteReader& in, std::vector<std::uint32_t>& values);

    std::uint32_t GetBit() { return GetBits(1); }
    // Reads `width` bits; the i-th bit read becomes bit i of the result.
    std::uint32_t GetValue() { return GetBits(width_); }
    // Reads `count` bits (0 to 32) in the same way. Inline: the arithmetic
    // decoder calls it once per bit.
    std::uint32_t GetBits(unsigned count) {
        if (count == 0) return 0;
        if (count > BitsLeft()) return MarkOverrun();
        const std::size_t wordIndex = static_cast<std::size_t>(position_ >> 5);
        const unsigned bitIndex = static_cast<unsigned>(position_ & 31);
        std::uint64_t window = words_[wordIndex];
        if (bitIndex + count > 32) window |= static_cast<std::uint64_t>(words_[wordIndex + 1]) << 32;
        position_ += count;
        return static_cast<std::uint32_t>((window >> bitIndex) & ((UINT64_C(1) << count) - 1));
    }

    // Moves back to stream bit 0 and clears the overrun flag.
    void Rewind();
    // Frees the words and returns to the state of a new reader.
    void Release();

    // True once a read asked for a bit beyond the last stored one.
    bool Overrun() const { return overrun_; }
    std::uint64_t BitsLeft() const { return totalBits_ - position_; }
    std::uint32_t TotalBits() const { return totalBits_; }
    std::uint8_t Width() const { return width_; }
    std::span<const std::uint32_t> Words() const { return words_; }

private:
    std::uint32_t MarkOverrun();

    std::uint32_t totalBits_ = 0;
    std::uint64_t position_ = 0;
    std::vector<std::uint32_t> words_;
    std::uint8_t width_ = 0;
    bool overrun_ = false;
};

}  // namespace pictora
