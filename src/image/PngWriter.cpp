#include "image/PngWriter.h"

#include <csetjmp>

#include "image/PngErrorCapture.h"

namespace pictora {

PngWriter::PngWriter(std::vector<std::uint8_t>& out) : out_(out) {
    png_ = png_create_write_struct(PNG_LIBPNG_VER_STRING, &error_, KeepPngError, DropPngWarning);
    if (png_ != nullptr) info_ = png_create_info_struct(png_);
    if (info_ == nullptr) {
        error_ = "libpng could not set up its write structures";
        return;
    }
    png_set_write_fn(png_, this, AppendToMemory, FlushNothing);
}

PngWriter::~PngWriter() {
    if (png_ != nullptr) png_destroy_write_struct(&png_, info_ != nullptr ? &info_ : nullptr);
}

// Keeps no local objects of its own: the longjmp of a libpng error must not
// skip a destructor.
bool PngWriter::Write(std::uint32_t width, std::uint32_t height, int colorType, png_bytepp rows) {
    if (info_ == nullptr) return false;
    if (setjmp(png_jmpbuf(png_))) return false;
    png_set_IHDR(png_, info_, width, height, 8, colorType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png_, info_);
    png_write_image(png_, rows);
    png_write_end(png_, nullptr);
    return true;
}

void PngWriter::AppendToMemory(png_structp png, png_bytep data, png_size_t length) {
    auto* writer = static_cast<PngWriter*>(png_get_io_ptr(png));
    writer->out_.insert(writer->out_.end(), data, data + length);
}

void PngWriter::FlushNothing(png_structp /*png*/) {}

}  // namespace pictora
