#include "entropy/BinaryRangeCoder.h"

namespace pictora {

void BinaryRangeEncoder::ShiftLow() {
    if (static_cast<std::uint32_t>(low_) < 0xFF000000u || (low_ >> 32) != 0) {
        const auto carry = static_cast<std::uint8_t>(low_ >> 32);
        std::uint8_t byte = pending_;
        for (; pendingCount_ > 0; --pendingCount_) {
            out_.push_back(static_cast<std::uint8_t>(byte + carry));
            byte = 0xFF;
        }
        pending_ = static_cast<std::uint8_t>(low_ >> 24);
    }
    ++pendingCount_;
    low_ = (low_ & 0x00FFFFFFu) << 8;
}

std::uint32_t BinaryRangeEncoder::CodeEven(std::uint32_t value, unsigned count) {
    for (unsigned i = count; i-- > 0;) {
        range_ >>= 1;
        if (((value >> i) & 1) == 0) low_ += range_;
        while (range_ < kTop) {
            range_ <<= 8;
            ShiftLow();
        }
    }
    return count == 32 ? value : value & ((1u << count) - 1);
}

void BinaryRangeEncoder::Finish() {
    for (int i = 0; i < 5; ++i) ShiftLow();
}

// A stream is the bytes of one number, most significant first: the encoder's
// interval narrowed by each bit in turn, as Code shows, written out a byte at
// a time while its range drops below 2^24, then its last 4 bytes. The first
// byte is always 0 (a carry never reaches it); a reader takes 5 bytes to
// start and then one per renormalisation, so it ends exactly at the stream's
// last byte.
bool BinaryRangeDecoder::Start(std::span<const std::uint8_t> stream) {
    stream_ = stream;
    position_ = 0;
    range_ = 0xFFFFFFFFu;
    code_ = 0;
    if (stream.size() < 5 || stream[0] != 0) return false;
    for (position_ = 1; position_ < 5; ++position_) code_ = (code_ << 8) | stream[position_];
    return true;
}

std::uint32_t BinaryRangeDecoder::CodeEven(std::uint32_t /*unused*/, unsigned count) {
    std::uint32_t value = 0;
    for (unsigned i = 0; i < count; ++i) {
        range_ >>= 1;
        std::uint32_t bit = 1;
        if (code_ >= range_) {
            code_ -= range_;
            bit = 0;
        }
        value = (value << 1) | bit;
        while (range_ < kTop) {
            range_ <<= 8;
            code_ = (code_ << 8) | NextByte();
        }
    }
    return value;
}

}  // namespace pictora
