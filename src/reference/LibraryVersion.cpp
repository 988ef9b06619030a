#include "reference/LibraryVersion.h"

#include <avif/avif.h>
#include <jxl/encode.h>
#include <webp/encode.h>

#include <cstdio>

#include <jpeglib.h>

namespace pictora {
namespace {

// MAJOR.MINOR.PATCH of a number made as MAJOR * scale² + MINOR * scale + PATCH.
std::string Dotted(unsigned long number, unsigned long scale) {
    return std::to_string(number / (scale * scale)) + "." + std::to_string(number / scale % scale) + "." +
           std::to_string(number % scale);
}

}  // namespace

std::string LibraryVersion(ReferenceCodecKind codec) {
    switch (codec) {
        case ReferenceCodecKind::Jpeg: return "libjpeg-turbo " + Dotted(LIBJPEG_TURBO_VERSION_NUMBER, 1000);
        case ReferenceCodecKind::Webp:
            return "libwebp " + Dotted(static_cast<unsigned long>(WebPGetEncoderVersion()), 256);
        case ReferenceCodecKind::Avif: {
            char codecs[256] = {};
            avifCodecVersions(codecs);
            return "libavif " + std::string(avifVersion()) + " (" + codecs + ")";
        }
        case ReferenceCodecKind::Jxl: return "libjxl " + Dotted(JxlEncoderVersion(), 1000);
    }
    return {};
}

}  // namespace pictora
