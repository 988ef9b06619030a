#pragma once

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <vector>

namespace pictora::testing {

// libpng as the yardstick of the PNG reader and writer: what it decodes a
// file to, and files it writes in layouts this program never writes.

struct LibpngPicture {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int colourType = -1;
    std::vector<std::uint8_t> samples;  // rows of interleaved 8-bit samples
};

namespace detail {

struct MemoryFile {
    const std::vector<std::uint8_t>* bytes;
    std::size_t position;
};

inline void ReadFromMemory(png_structp png, png_bytep data, png_size_t length) {
    auto* file = static_cast<MemoryFile*>(png_get_io_ptr(png));
    if (file->bytes->size() - file->position < length) png_error(png, "the file ends too early");
    std::copy_n(file->bytes->data() + file->position, length, data);
    file->position += length;
}

inline void Quiet(png_structp, png_const_charp) {}

[[noreturn]] inline void QuietError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

inline void FlushNothing(png_structp) {}

inline void AppendToMemory(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

}  // namespace detail

// libpng's decode with the transforms the program always asked of it:
// 16-bit samples cut to 8, interlacing undone, the whole file read to IEND.
// False when libpng refuses the file; its warnings are ignored.
inline bool LibpngDecode(const std::vector<std::uint8_t>& file, LibpngPicture& picture) {
    detail::MemoryFile memory{&file, 0};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, detail::QuietError, detail::Quiet);
    png_infop info = png_create_info_struct(png);
    std::vector<png_bytep> rows;
    bool ok = false;
    if (setjmp(png_jmpbuf(png)) == 0) {
        png_set_read_fn(png, &memory, detail::ReadFromMemory);
        png_read_info(png, info);
        picture.width = png_get_image_width(png, info);
        picture.height = png_get_image_height(png, info);
        picture.colourType = png_get_color_type(png, info);
        png_set_strip_16(png);
        png_set_interlace_handling(png);
        png_read_update_info(png, info);
        const std::size_t rowBytes = png_get_rowbytes(png, info);
        picture.samples.assign(rowBytes * picture.height, 0);
        for (std::uint32_t i = 0; i < picture.height; ++i) rows.push_back(picture.samples.data() + i * rowBytes);
        png_read_image(png, rows.data());
        png_read_end(png, nullptr);
        ok = true;
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return ok;
}

// An RGB file written by libpng: `rows` holds each row's sample bytes (16-bit
// samples high byte first), `filters` libpng's PNG_FILTER_ flags to choose
// from, `level` zlib's.
inline std::vector<std::uint8_t> LibpngEncodeRgb(std::uint32_t width, const std::vector<std::vector<std::uint8_t>>& rows,
                                                 int bitDepth, int interlace, int filters = PNG_ALL_FILTERS,
                                                 int level = 6) {
    std::vector<std::uint8_t> out;
    std::vector<png_bytep> pointers;
    for (const auto& row : rows) pointers.push_back(const_cast<png_bytep>(row.data()));
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, detail::QuietError, detail::Quiet);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png)) == 0) {
        png_set_write_fn(png, &out, detail::AppendToMemory, detail::FlushNothing);
        png_set_IHDR(png, info, width, static_cast<png_uint_32>(rows.size()), bitDepth, PNG_COLOR_TYPE_RGB, interlace,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_set_filter(png, 0, filters);
        png_set_compression_level(png, level);
        png_write_info(png, info);
        png_write_image(png, pointers.data());
        png_write_end(png, nullptr);
    } else {
        out.clear();
    }
    png_destroy_write_struct(&png, &info);
    return out;
}

}  // namespace pictora::testing
