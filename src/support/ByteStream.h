#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace pictora {

// Appends little-endian values to a byte vector: the one encoding of every
// file format the program writes.
class ByteWriter {
public:
    explicit ByteWriter(std::vector<std::uint8_t>& out) : out_(out) {}

    void PutU8(std::uint8_t value) { out_.push_back(value); }
    void PutU32(std::uint32_t value);
    void PutF64(double value);
    void PutBytes(std::span<const std::uint8_t> bytes);
    // Overwrites four bytes at `offset`, which must already have been written.
    void PatchU32(std::size_t offset, std::uint32_t value);
    std::size_t Size() const { return out_.size(); }

private:
    std::vector<std::uint8_t>& out_;
};

// Reads little-endian values from a byte span. Every read checks the bytes
// that remain: a short read returns false and leaves the cursor where it was.
class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool GetU8(std::uint8_t& value);
    bool GetU32(std::uint32_t& value);
    bool GetF64(double& value);
    bool GetBytes(std::size_t count, std::span<const std::uint8_t>& bytes);
    bool Skip(std::size_t count);
    bool Seek(std::size_t position);

    std::size_t Position() const { return position_; }
    std::size_t Remaining() const { return bytes_.size() - position_; }
    std::size_t Size() const { return bytes_.size(); }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

}  // namespace pictora
