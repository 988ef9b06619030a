#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace pictora {

// The PNG file as this program reads and writes it. Integers are big-endian.
//
//   signature  8 bytes: 89 50 4E 47 0D 0A 1A 0A
//   chunks     each: u32 length L (at most 2^31 - 1), a 4-byte type of ASCII
//              letters (an upper-case first letter marks a critical chunk),
//              L data bytes, u32 CRC-32 of the type and data bytes
//
//   IHDR  the first chunk, 13 bytes: u32 width and u32 height (1 .. 2^31 - 1),
//         u8 bit depth, u8 colour type, u8 compression method (0 = zlib),
//         u8 filter method (0), u8 interlace method (0 none, 1 Adam7).
//         Colour types and their depths: 0 grey (1, 2, 4, 8, 16), 2 RGB
//         (8, 16), 3 palette (1, 2, 4, 8), 4 grey + alpha (8, 16), 6 RGB +
//         alpha (8, 16).
//   PLTE  the palette: at most one, before the image data.
//   IDAT  one unbroken run of chunks whose data, joined, are one zlib stream:
//         u8 CMF, u8 FLG, deflate blocks, u32 Adler-32 of the inflated bytes.
//   IEND  the last chunk; bytes after it are not read.
//   Other critical chunks are refused; ancillary ones (lower-case first letter:
//   text, colour profiles, ...) change nothing here and are skipped.
//
// The zlib stream inflates to the filtered rows of the image's passes: one
// pass, or the seven of Adam7, pass p holding the pixels (y0 + i dy, x0 + j dx)
// of PngPass(p). Every row of a pass with pixels is a filter byte (PngFilter)
// then the row's samples, packed to whole bytes, 16-bit samples high byte
// first; a pass without pixels has no rows.

inline constexpr std::array<std::uint8_t, 8> kPngSignature = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
inline constexpr std::uint32_t kPngMaxChunkLength = 0x7FFFFFFF;

enum class PngColourType : std::uint8_t { Grey = 0, Rgb = 2, Palette = 3, GreyAlpha = 4, RgbAlpha = 6 };

// Each byte of a filtered row is the difference between the sample byte and a
// prediction from the bytes a pixel to the left (a), above (b) and above-left
// (c), all 0 outside the pass: none 0, sub a, up b, average (a + b) / 2,
// Paeth whichever of a, b, c is nearest a + b - c (ties to a, then b).
enum class PngFilter : std::uint8_t { None = 0, Sub = 1, Up = 2, Average = 3, Paeth = 4 };
inline constexpr std::uint8_t kPngFilterCount = 5;

// Where the pixels of one interlacing pass lie.
struct PngPass {
    std::uint32_t x0, y0, dx, dy;

    std::uint32_t Columns(std::uint32_t width) const { return width > x0 ? (width - x0 + dx - 1) / dx : 0; }
    std::uint32_t Rows(std::uint32_t height) const { return height > y0 ? (height - y0 + dy - 1) / dy : 0; }
};
inline constexpr std::array<PngPass, 7> kAdam7Passes = {{
    {0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4}, {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2},
}};
inline constexpr PngPass kWholeImagePass = {0, 0, 1, 1};

// What IHDR says.
struct PngHeader {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint8_t bitDepth = 0;
    PngColourType colourType = PngColourType::Grey;
    bool interlaced = false;

    std::uint32_t SamplesPerPixel() const;
    // Bytes of one row of `columns` pixels, filter byte excluded.
    std::uint64_t RowBytes(std::uint32_t columns) const;
    // Bytes a whole pixel takes (at least 1), the distance to the left pixel
    // that filters use.
    std::uint32_t FilterStride() const;
    // The inflated size of the image data: every pass's rows with their
    // filter bytes.
    std::uint64_t FilteredBytes() const;
};

// A deflate stream codes at most 258 bytes (one longest match) in 2 bits, a
// 1-bit length code and a 1-bit distance code, so no zlib stream inflates to
// more than 1032 times its size: a bound a file's claims are checked against
// before anything is allocated for them.
inline constexpr std::uint64_t kMostInflatedPerByte = 1032;

}  // namespace pictora
