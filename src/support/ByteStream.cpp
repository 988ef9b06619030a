#include "support/ByteStream.h"

#include <cstring>

namespace pictora {

void ByteWriter::PutU32(std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out_.push_back(static_cast<std::uint8_t>(value >> shift));
}

void ByteWriter::PutF64(double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    for (int shift = 0; shift < 64; shift += 8) out_.push_back(static_cast<std::uint8_t>(bits >> shift));
}

void ByteWriter::PutBytes(std::span<const std::uint8_t> bytes) {
    out_.insert(out_.end(), bytes.begin(), bytes.end());
}

void ByteWriter::PatchU32(std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out_[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

bool ByteReader::GetU8(std::uint8_t& value) {
    if (Remaining() < 1) return false;
    value = bytes_[position_++];
    return true;
}

bool ByteReader::GetU32(std::uint32_t& value) {
    if (Remaining() < 4) return false;
    value = 0;
    for (int i = 0; i < 4; ++i) value |= static_cast<std::uint32_t>(bytes_[position_ + i]) << (8 * i);
    position_ += 4;
    return true;
}

bool ByteReader::GetF64(double& value) {
    if (Remaining() < 8) return false;
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) bits |= static_cast<std::uint64_t>(bytes_[position_ + i]) << (8 * i);
    std::memcpy(&value, &bits, sizeof value);
    position_ += 8;
    return true;
}

bool ByteReader::GetBytes(std::size_t count, std::span<const std::uint8_t>& bytes) {
    if (Remaining() < count) return false;
    bytes = bytes_.subspan(position_, count);
    position_ += count;
    return true;
}

bool ByteReader::Skip(std::size_t count) {
    if (Remaining() < count) return false;
    position_ += count;
    return true;
}

bool ByteReader::Seek(std::size_t position) {
    if (position > bytes_.size()) return false;
    position_ = position;
    return true;
}

}  // namespace pictora
