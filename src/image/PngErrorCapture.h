#pragma once

#include <png.h>

namespace pictora {

// Error and warning callbacks for libpng. libpng ends a failing call by
// calling its error function and then leaving by longjmp to the point its
// caller saved with setjmp(png_jmpbuf(...)). KeepPngError stores the message
// in the std::string given to libpng as error pointer, then makes that jump
// itself, so libpng's default handler never prints anything. Warnings are
// dropped: they describe nothing the caller could act on.
[[noreturn]] void KeepPngError(png_structp png, png_const_charp message);
void DropPngWarning(png_structp png, png_const_charp message);

}  // namespace pictora
