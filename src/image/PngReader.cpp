#include "image/PngReader.h"

#include <algorithm>
#include <csetjmp>

#include "image/PngErrorCapture.h"

namespace pictora {

// The functions below that call setjmp keep no local objects of their own:
// the longjmp of a libpng error must not skip a destructor.

PngReader::PngReader(std::span<const std::uint8_t> file) : file_(file) {
    png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, &error_, KeepPngError, DropPngWarning);
    if (png_ != nullptr) info_ = png_create_info_struct(png_);
    if (info_ == nullptr) {
        error_ = "libpng could not set up its read structures";
        return;
    }
    png_set_read_fn(png_, this, ReadFromMemory);
}

PngReader::~PngReader() {
    if (png_ != nullptr) png_destroy_read_struct(&png_, info_ != nullptr ? &info_ : nullptr, nullptr);
}

bool PngReader::ReadHeader(PngHeader& header) {
    if (info_ == nullptr) return false;
    if (setjmp(png_jmpbuf(png_))) return false;
    png_read_info(png_, info_);
    header.width = png_get_image_width(png_, info_);
    header.height = png_get_image_height(png_, info_);
    header.colorType = png_get_color_type(png_, info_);
    header.bitDepth = png_get_bit_depth(png_, info_);
    header.interlaced = png_get_interlace_type(png_, info_) != PNG_INTERLACE_NONE;
    png_set_strip_16(png_);
    png_set_interlace_handling(png_);
    png_read_update_info(png_, info_);
    header.rowBytes = png_get_rowbytes(png_, info_);
    return true;
}

bool PngReader::ReadRows(png_bytepp rows) {
    if (info_ == nullptr) return false;
    if (setjmp(png_jmpbuf(png_))) return false;
    png_read_image(png_, rows);
    png_read_end(png_, nullptr);
    return true;
}

bool PngReader::ReadRowByRow(png_bytep row, const std::function<void(std::uint32_t)>& take) {
    if (info_ == nullptr) return false;
    if (setjmp(png_jmpbuf(png_))) return false;
    const std::uint32_t height = png_get_image_height(png_, info_);
    for (std::uint32_t i = 0; i < height; ++i) {
        png_read_row(png_, row, nullptr);
        take(i);
    }
    png_read_end(png_, nullptr);
    return true;
}

void PngReader::ReadFromMemory(png_structp png, png_bytep data, png_size_t length) {
    auto* reader = static_cast<PngReader*>(png_get_io_ptr(png));
    if (reader->file_.size() - reader->position_ < length) png_error(png, "the file ends too early");
    std::copy_n(reader->file_.data() + reader->position_, length, data);
    reader->position_ += length;
}

}  // namespace pictora
