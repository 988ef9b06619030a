#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace pictora {

// The probability that the next bit of one context is 1, learnt from the bits
// seen there: an estimate that follows the bits' frequency while the context
// is young and a moving average once it has seen kSettled bits, so that rare
// contexts learn fast and busy ones stay steady. Encoder and decoder update it
// the same way, so they always agree on it.
class AdaptiveBit {
public:
    static constexpr std::uint32_t kSettled = 120;

    // P(1) in 12 bits, 1 to 4095: what the coder splits its range by.
    std::uint32_t One12() const { return oneProbability_ >> 4; }
    void Update(std::uint32_t bit) {
        const std::int32_t target = bit != 0 ? kCeiling : kFloor;
        oneProbability_ = static_cast<std::uint16_t>(
            oneProbability_ + ((target - static_cast<std::int32_t>(oneProbability_)) * kRate[seen_] >> 16));
        seen_ = static_cast<std::uint8_t>(seen_ + (seen_ < kSettled ? 1 : 0));
    }

private:
    // The 16-bit estimate stays where its 12-bit form is 1 to 4095.
    static constexpr std::int32_t kFloor = 16;
    static constexpr std::int32_t kCeiling = 65535 - 15;
    // 65536 / (n + 1.6) for n bits seen: close to the bits' frequency.
    static constexpr std::array<std::int32_t, kSettled + 1> kRate = [] {
        std::array<std::int32_t, kSettled + 1> rates{};
        for (std::uint32_t n = 0; n <= kSettled; ++n) rates[n] = static_cast<std::int32_t>(65536.0 / (n + 1.6));
        return rates;
    }();

    std::uint16_t oneProbability_ = 32768;
    std::uint8_t seen_ = 0;
};

// Codes bits, each with the probability of its context, into bytes (byte
// layout above BinaryRangeDecoder). The probability is split with 12 bits,
// so a bit costs at least log2(4096 / 4095) bits: kMaxBitsPerByte bits of
// any stream fit in one of its bytes, which bounds what a reader may expect
// from a stream of a given length.
class BinaryRangeEncoder {
public:
    static constexpr std::uint64_t kMaxBitsPerByte = 22716;

    explicit BinaryRangeEncoder(std::vector<std::uint8_t>& out) : out_(out) {}

    // Codes `bit` (0 or 1) and teaches the context; returns the bit, so that
    // one model function serves encoder and decoder.
    std::uint32_t Code(AdaptiveBit& context, std::uint32_t bit) {
        // Without branches: the bits are hard to guess, which is why they are coded.
        const std::uint32_t split = (range_ >> 12) * context.One12();
        const std::uint32_t one = 0u - (bit != 0 ? 1u : 0u);
        low_ += split & ~one;
        range_ = (split & one) | ((range_ - split) & ~one);
        context.Update(bit);
        while (range_ < kTop) {
            range_ <<= 8;
            ShiftLow();
        }
        return bit;
    }
    // Codes the low `count` bits of `value`, most significant first, each
    // with probability one half.
    std::uint32_t CodeEven(std::uint32_t value, unsigned count);

    // Writes what the decoder still needs; the encoder is finished.
    void Finish();

private:
    static constexpr std::uint32_t kTop = 1u << 24;
    void ShiftLow();

    std::vector<std::uint8_t>& out_;
    std::uint64_t low_ = 0;
    std::uint32_t range_ = 0xFFFFFFFFu;
    // The bytes a carry may still change: one byte, then 0xFF bytes, in all
    // pendingCount_ of them (the first byte of a stream is always 0).
    std::uint8_t pending_ = 0;
    std::uint64_t pendingCount_ = 1;
};

// Reads the bits BinaryRangeEncoder coded, given the same contexts in the same
// order. Reading past the stream's end yields zero bytes and is remembered;
// a stream is read correctly only when Finished() holds afterwards.
class BinaryRangeDecoder {
public:
    // False when the stream is too short to start, or its first byte is not 0.
    bool Start(std::span<const std::uint8_t> stream);

    std::uint32_t Code(AdaptiveBit& context, std::uint32_t /*unused*/) {
        const std::uint32_t split = (range_ >> 12) * context.One12();
        const std::uint32_t bit = code_ < split ? 1u : 0u;
        const std::uint32_t one = 0u - bit;
        code_ -= split & ~one;
        range_ = (split & one) | ((range_ - split) & ~one);
        context.Update(bit);
        while (range_ < kTop) {
            range_ <<= 8;
            code_ = (code_ << 8) | NextByte();
        }
        return bit;
    }
    std::uint32_t CodeEven(std::uint32_t /*unused*/, unsigned count);

    // True when exactly the stream's bytes were read and they end where the
    // last bit's interval starts, as the encoder leaves them: a stream with
    // any byte changed fails here if its bits did not already differ.
    bool Finished() const { return position_ == stream_.size() && code_ == 0; }
    // True once more bytes were wanted than the stream holds.
    bool Overrun() const { return position_ > stream_.size(); }

private:
    static constexpr std::uint32_t kTop = 1u << 24;
    std::uint32_t NextByte() {
        const std::size_t at = position_++;
        return at < stream_.size() ? stream_[at] : 0;
    }

    std::span<const std::uint8_t> stream_;
    std::size_t position_ = 0;
    std::uint32_t code_ = 0;
    std::uint32_t range_ = 0xFFFFFFFFu;
};

}  // namespace pictora
