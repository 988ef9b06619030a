#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "support/ByteStream.h"
#include "support/Status.h"

namespace pictora {

// Packs single bits or fixed-width values (1 to 32 bits) into 32-bit words.
// Stream bit k is bit (k mod 32) of word (k div 32), least significant bit
// first; a value goes in least significant bit first and may straddle two
// words. The word buffer grows as bits arrive, so the capacity given to an
// Init call is only a first allocation.
class BitWriter {
public:
    // Starts a stream of `width`-bit values and appends the `count` values.
    // Fails, leaving the writer empty, when `width` exceeds 32.
    Status InitForValues(std::uint8_t width, const std::uint32_t* values, std::size_t count);
    // Starts an empty stream of `width`-bit values with room for
    // `capacityWords` words before the buffer has to grow.
    Status InitEmpty(std::uint8_t width, std::size_t capacityWords);

    void PutBit(std::uint32_t bit) { PutBits(bit & 1, 1); }
    // Appends the low `width` bits of `value`; higher bits are ignored.
    void PutValue(std::uint32_t value) { PutBits(value, width_); }
    // Appends the low `count` bits (0 to 32) of `value`. Inline: the coders
    // call it once per byte or per bit.
    void PutBits(std::uint32_t value, unsigned count) {
        if (count == 0) return;
        const std::uint64_t bits = count == 32 ? value : value & ((UINT32_C(1) << count) - 1);
        const unsigned bitIndex = static_cast<unsigned>(totalBits_ & 31);
        const std::uint64_t shifted = bits << bitIndex;
        // A fresh word is opened whenever the stream reaches its first bit.
        if (bitIndex == 0) words_.push_back(0);
        words_.back() |= static_cast<std::uint32_t>(shifted);
        if (bitIndex + count > 32) words_.push_back(static_cast<std::uint32_t>(shifted >> 32));
        totalBits_ += count;
    }

    // Appends the bit-stream block: width byte, u32 bit count N, then the
    // ceil(N / 32) words (byte layout above BitReader::LoadFrom). Fails,
    // appending nothing, when N does not fit 32 bits.
    Status WriteTo(ByteWriter& out) const;

    // Frees the words and returns to the state of a new writer.
    void Release();

    std::uint64_t TotalBits() const { return totalBits_; }
    std::uint8_t Width() const { return width_; }
    // The words that hold bits: ceil(TotalBits() / 32) of them.
    std::span<const std::uint32_t> Words() const { return words_; }

private:
    Status Start(std::uint8_t width, std::size_t capacityWords);

    std::uint64_t totalBits_ = 0;
    std::vector<std::uint32_t> words_;
    std::uint8_t width_ = 0;
};

}  // namespace pictora
