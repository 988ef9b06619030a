#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <png.h>

namespace pictora {

// Encodes an 8-bit RGB or greyscale image as PNG bytes in memory with libpng,
// so the file itself can be written in one piece. Owns the libpng write
// structures; one writer encodes one image.
class PngWriter {
public:
    explicit PngWriter(std::vector<std::uint8_t>& out);
    ~PngWriter();
    PngWriter(const PngWriter&) = delete;
    PngWriter& operator=(const PngWriter&) = delete;

    // `rows` holds `height` rows of width samples (colour type 0) or width
    // R, G, B triples (colour type 2). Writes a non-interlaced image with
    // default compression and filtering. False on a libpng error, with
    // libpng's message in Error().
    bool Write(std::uint32_t width, std::uint32_t height, int colorType, png_bytepp rows);

    const std::string& Error() const { return error_; }

private:
    static void AppendToMemory(png_structp png, png_bytep data, png_size_t length);
    static void FlushNothing(png_structp png);

    std::vector<std::uint8_t>& out_;
    std::string error_;
    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
};

}  // namespace pictora
