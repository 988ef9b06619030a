#include "display/BitmapImage.h"

namespace pictora {

QImage ToQImage(const DisplayBitmap* bitmap) {
    if (bitmap == nullptr || bitmap->Width() <= 0 || bitmap->Height() <= 0) return {};
    const QImage bottomUp(bitmap->pixels.data(), bitmap->Width(), bitmap->Height(),
                          static_cast<qsizetype>(DisplayBitmap::RowBytes(static_cast<std::uint32_t>(bitmap->Width()))),
                          QImage::Format_BGR888);
    return bottomUp.mirrored(false, true);  // a deep copy, independent of the bitmap
}

}  // namespace pictora
