#include "image/PngErrorCapture.h"

#include <string>

namespace pictora {

void KeepPngError(png_structp png, png_const_charp message) {
    auto* kept = static_cast<std::string*>(png_get_error_ptr(png));
    if (kept != nullptr) *kept = message != nullptr ? message : "unknown libpng error";
    png_longjmp(png, 1);
}

void DropPngWarning(png_structp /*png*/, png_const_charp /*message*/) {}

}  // namespace pictora
