// PNG loading: any bytes load to a consistent image or are refused, and an
// image that loads is written and read back to the same planes.
#include <cstddef>
#include <cstdint>

#include "image/ImageBuffer.h"
#include "image/PngImage.h"
#include "image/PngWriter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pictora::ImageBuffer image;
    if (pictora::Status loaded = image.DecodePng({data, size}, "input.png"); loaded) {
        const auto height = static_cast<std::uint32_t>(image.GetHeight());
        const auto width = static_cast<std::uint32_t>(image.GetWidth());
        if (height == 0 || width == 0 || image.lumaY.Height() != height || image.chromaCr420.Width() != width)
            __builtin_trap();
        // Up to a few pieces of image data, so that runs stay short.
        if (std::uint64_t{height} * width <= (std::uint64_t{1} << 20)) {
            const pictora::Plane* const planes[] = {&image.rgb->red, &image.rgb->green, &image.rgb->blue};
            pictora::RgbImage copy;
            if (!pictora::DecodePngImage(pictora::EncodePng(planes, height, width), copy) ||
                !(copy.red == image.rgb->red && copy.green == image.rgb->green && copy.blue == image.rgb->blue))
                __builtin_trap();
        }
    } else if (image.GetHeight() != 0) {
        __builtin_trap();  // a refused file leaves the buffer empty
    }
    return 0;
}
