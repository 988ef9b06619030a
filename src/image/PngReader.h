#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include <png.h>

namespace pictora {

// What the header of a PNG file says, and the length of one row as the reader
// delivers it once its transforms are set up.
struct PngHeader {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int colorType = 0;
    int bitDepth = 0;
    std::size_t rowBytes = 0;
    bool interlaced = false;
};

// Decodes a PNG file held in memory with libpng, in two steps so that the
// caller can check the header before it allocates the pixel rows. Owns the
// libpng read structures. A failing step returns false and leaves libpng's
// message in Error(); no further step may follow it.
class PngReader {
public:
    explicit PngReader(std::span<const std::uint8_t> file);
    ~PngReader();
    PngReader(const PngReader&) = delete;
    PngReader& operator=(const PngReader&) = delete;

    // Reads the header and asks for 16-bit samples cut to 8 bits and for
    // interlaced images to be de-interlaced.
    bool ReadHeader(PngHeader& header);
    // Reads all rows: `rows` holds header.height pointers to header.rowBytes
    // bytes each. Also reads the rest of the file, so damage after the image
    // data is found too.
    bool ReadRows(png_bytepp rows);
    // For a file without interlacing: reads the rows one after another into
    // `row` (header.rowBytes bytes), handing each to `take` with its number
    // before the next overwrites it; then the rest of the file, as ReadRows.
    bool ReadRowByRow(png_bytep row, const std::function<void(std::uint32_t)>& take);

    const std::string& Error() const { return error_; }

private:
    static void ReadFromMemory(png_structp png, png_bytep data, png_size_t length);

    std::span<const std::uint8_t> file_;
    std::size_t position_ = 0;
    std::string error_;
    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
};

}  // namespace pictora
