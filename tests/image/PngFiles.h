#pragma once

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace pictora::testing {

// PNG files assembled piece by piece, so that tests can make the damaged and
// hostile ones no encoder writes: chunks with any length, type, data and
// CRC, image data deflated by zlib from filtered rows given byte by byte.

using Bytes = std::vector<std::uint8_t>;

inline void PutBigEndian(Bytes& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

inline std::uint32_t ChunkCrc(const std::string& type, const Bytes& data) {
    uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type.data()), 4);
    if (!data.empty()) crc = crc32(crc, data.data(), static_cast<uInt>(data.size()));  // zlib takes no null buffer
    return static_cast<std::uint32_t>(crc);
}

inline Bytes Chunk(const std::string& type, const Bytes& data) {
    Bytes chunk;
    PutBigEndian(chunk, static_cast<std::uint32_t>(data.size()));
    chunk.insert(chunk.end(), type.begin(), type.end());
    chunk.insert(chunk.end(), data.begin(), data.end());
    PutBigEndian(chunk, ChunkCrc(type, data));
    return chunk;
}

inline Bytes HeaderData(std::uint32_t width, std::uint32_t height, std::uint8_t depth = 8, std::uint8_t colour = 2,
                        std::uint8_t interlace = 0) {
    Bytes data;
    PutBigEndian(data, width);
    PutBigEndian(data, height);
    data.insert(data.end(), {depth, colour, 0, 0, interlace});
    return data;
}

inline Bytes Deflated(const Bytes& raw) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    Bytes out(size);
    compress2(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()), 6);
    out.resize(size);
    return out;
}

// Signature, then the chunks as given.
inline Bytes PngOf(const std::vector<Bytes>& chunks) {
    Bytes file = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    for (const Bytes& chunk : chunks) file.insert(file.end(), chunk.begin(), chunk.end());
    return file;
}

// An 8-bit RGB file of width x height pixels whose image data are `raw`
// (filter bytes included) deflated, in one IDAT chunk.
inline Bytes RgbPng(std::uint32_t width, std::uint32_t height, const Bytes& raw) {
    return PngOf({Chunk("IHDR", HeaderData(width, height)), Chunk("IDAT", Deflated(raw)), Chunk("IEND", {})});
}

// Filtered rows of width x height pixels, filter none, every sample
// (3 x + 5 y + channel) mod 256.
inline Bytes UnfilteredRows(std::uint32_t width, std::uint32_t height) {
    Bytes raw;
    for (std::uint32_t y = 0; y < height; ++y) {
        raw.push_back(0);
        for (std::uint32_t x = 0; x < width; ++x)
            for (std::uint32_t c = 0; c < 3; ++c) raw.push_back(static_cast<std::uint8_t>(3 * x + 5 * y + c));
    }
    return raw;
}

inline std::uint32_t BigEndianAt(const Bytes& bytes, std::size_t at) {
    return (std::uint32_t{bytes[at]} << 24) | (std::uint32_t{bytes[at + 1]} << 16) | (std::uint32_t{bytes[at + 2]} << 8) |
           bytes[at + 3];
}

// `file` with the CRC of every chunk made to match its type and data, as far
// as the chunks' lengths lead through the file.
inline Bytes WithCrcsMadeToMatch(Bytes file) {
    std::size_t at = 8;
    while (at + 12 <= file.size()) {
        const std::uint32_t length = BigEndianAt(file, at);
        if (file.size() - at - 12 < length) break;
        const std::string type(file.begin() + at + 4, file.begin() + at + 8);
        const std::uint32_t crc = ChunkCrc(type, Bytes(file.begin() + at + 8, file.begin() + at + 8 + length));
        for (int k = 0; k < 4; ++k) file[at + 8 + length + k] = static_cast<std::uint8_t>(crc >> (24 - 8 * k));
        at += 12 + length;
    }
    return file;
}

// `file` with bytes in the middle of its first IDAT chunk inverted and the
// CRCs made to match, so that only inflating finds the damage.
inline Bytes WithDamagedImageData(Bytes file) {
    std::size_t at = 8;
    while (at + 8 <= file.size()) {
        const std::uint32_t length = BigEndianAt(file, at);
        if (std::string(file.begin() + at + 4, file.begin() + at + 8) == "IDAT" && length >= 64) {
            for (std::size_t k = at + 8 + length / 2; k < at + 8 + length / 2 + 16; ++k) file[k] ^= 0xFF;
            return WithCrcsMadeToMatch(file);
        }
        at += 12 + length;
    }
    return {};
}

}  // namespace pictora::testing
